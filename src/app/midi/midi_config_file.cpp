#include "app/midi/midi_config_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "files/io_error.h"
#include "files/replacement_file.h"

namespace fw {
namespace {

// A person edits it; anything larger is not this file.
constexpr std::size_t kMaxConfigBytes = 1 << 20;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::string MidiConfigPath() {
  std::string base = Env("XDG_CONFIG_HOME");
  if (base.empty()) base = (Env("HOME").empty() ? std::string(".") : Env("HOME")) + "/.config";
  return base + "/fretwerk/midi.conf";
}

std::optional<std::string> ReadMidiConfigText(const std::string& path, std::string& problem) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    if (errno != ENOENT) problem = "cannot read " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  std::string text;
  char chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    text.append(chunk, got);
    if (text.size() > kMaxConfigBytes) {
      problem = "cannot read " + path + ": larger than a MIDI configuration can be";
      return std::nullopt;
    }
  }
  if (std::ferror(file.get())) {
    problem = "cannot read " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  return text;
}

void WriteMidiConfigText(const std::string& path, const std::string& text) {
  const std::filesystem::path directory = std::filesystem::path(path).parent_path();
  std::error_code error;
  if (!directory.empty()) std::filesystem::create_directories(directory, error);
  if (error) {
    throw IoError(error.value(), "I/O error " + std::to_string(error.value()),
                  "cannot create " + directory.string() + ": " + error.message());
  }
  ReplaceFileContents(path, text.data(), text.size());
}

}  // namespace fw
