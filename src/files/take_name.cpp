#include "files/take_name.h"

#include <filesystem>

namespace fw {

std::string FreeTakeName(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (!fs::exists(fs::symlink_status(path, error))) return path;
  const fs::path original(path);
  const fs::path folder = original.parent_path();
  const std::string stem = original.stem().string();
  const std::string extension = original.extension().string();
  for (int number = 2;; ++number) {
    const fs::path candidate = folder / (stem + "-" + std::to_string(number) + extension);
    if (!fs::exists(fs::symlink_status(candidate, error))) return candidate.string();
  }
}

}  // namespace fw
