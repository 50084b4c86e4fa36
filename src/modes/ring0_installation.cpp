#include "modes/ring0_installation.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "audio/kernel_services.h"
#include "audio/legacy/driver_codes.h"
#include "files/io_error.h"
#include "files/replacement_file.h"
#include "modes/maker.h"
#include "modes/mode_host.h"

namespace fw {
namespace {

// The system's directory buffers hold 255 characters: a longer path is refused, not
// cut short (a cut path may name another directory).
std::string Directory(const std::string& path) {
  if (path.size() > 255)
    throw IoError(3, "Path not found", "cannot use " + path + ": the path is longer than 255 characters");
  return path;
}

void Replace(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + '\n';
  ReplaceFileContents(path, text.data(), text.size());
}

}  // namespace

InstallationCheck CheckRealtimeInstallation(ModeHost& host, const KernelServices& kernel) {
  namespace fs = std::filesystem;
  const std::string system = Directory(kernel.SystemDirectory());
  std::error_code error;
  const fs::path tivra = system + "/tivra.vxd";
  if (!fs::is_regular_file(tivra, error) || fs::file_size(tivra, error) != 20274) {
    host.ShowMessage(std::string("Uncomplete installation (sxd?), download new version: ") + kMakerAddress +
                     "/download");
  }
  if (!fs::exists(system + "/mokel.vxd", error)) {
    host.ShowMessage("Uncomplete installation, see help!");
    return InstallationCheck::Incomplete;
  }
  const std::string windows = Directory(kernel.WindowsDirectory());
  const std::string iniPath = windows + "/system.ini";
  std::ifstream ini(iniPath, std::ios::binary);
  if (!ini) throw IoError::FileNotFound();
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(ini, line)) {
    // Installed already: the backup of the system's own file stays as it is.
    if (line.rfind(legacy::kDriverLine, 0) == 0) return InstallationCheck::Found;
    lines.push_back(line);
  }
  if (ini.bad()) throw IoError::Other(100);  // disk read error
  std::vector<std::string> updated;
  for (const std::string& text : lines) {
    updated.push_back(text);
    if (text.find("[386Enh]") != std::string::npos) updated.emplace_back(legacy::kDriverLine);
  }
  // Each file is written beside itself and renamed over it: the backup first, so
  // that "system.ini" changes only once its old text is safe.
  Replace(windows + "/system.old", lines);
  Replace(windows + "/system.new", updated);
  Replace(iniPath, updated);
  host.ShowMessage("Realtime is enabled!\n\rNow, close all applications and restart Windows!");
  return InstallationCheck::Added;
}

}  // namespace fw
