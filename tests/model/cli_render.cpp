#include "model/cli_render.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace model {
namespace {

namespace fs = std::filesystem;

// A folder of this process's own, removed when the process ends.
class ScratchFolder {
 public:
  ScratchFolder() : path_(fs::temp_directory_path() / ("fretwerk_model_" + std::to_string(::getpid()))) {
    fs::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

fs::path ScratchDirectory() {
  static const ScratchFolder folder;
  return folder.path();
}

void WriteRaw(const fs::path& path, const Samples& samples) {
  std::ofstream out(path, std::ios::binary);
  for (int16_t s : samples) {
    const auto u = static_cast<uint16_t>(s);
    const char bytes[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    out.write(bytes, 2);
  }
}

Samples ReadRaw(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Samples out(bytes.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto lo = static_cast<uint16_t>(static_cast<unsigned char>(bytes[2 * i]));
    const auto hi = static_cast<uint16_t>(static_cast<unsigned char>(bytes[2 * i + 1]));
    out[i] = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
  }
  return out;
}

// Appends s to the command in single quotes (no argument here holds a quote).
void AppendQuoted(std::string& command, const std::string& s) {
  command.push_back(' ');
  command.push_back('\'');
  command.append(s);
  command.push_back('\'');
}

}  // namespace

CliRun RunRender(const std::vector<std::string>& options, const Samples& input) {
  static int counter = 0;
  const std::string stem = "run" + std::to_string(++counter);
  const fs::path in = ScratchDirectory() / (stem + "_in.raw");
  const fs::path out = ScratchDirectory() / (stem + "_out.raw");
  const fs::path err = ScratchDirectory() / (stem + "_err.txt");
  WriteRaw(in, input);
  std::string command;
  AppendQuoted(command, std::getenv("FRETWERK_CLI"));
  command.append(" render");
  for (const std::string& o : options) AppendQuoted(command, o);
  AppendQuoted(command, in.string());
  AppendQuoted(command, out.string());
  command.append(" 2>");
  AppendQuoted(command, err.string());
  CliRun run;
  const int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream errIn(err);
  run.errors.assign(std::istreambuf_iterator<char>(errIn), std::istreambuf_iterator<char>());
  if (run.exitCode == 0) run.output = ReadRaw(out);
  fs::remove(in);
  fs::remove(out);
  fs::remove(err);
  return run;
}

std::string WritePresetDirectory(const std::string& name, const std::vector<uint8_t>& clearPre) {
  const fs::path dir = ScratchDirectory() / ("presets_" + name);
  fs::create_directories(dir);
  std::ofstream out(dir / "clear.pre", std::ios::binary);
  out.write(reinterpret_cast<const char*>(clearPre.data()), static_cast<std::streamsize>(clearPre.size()));
  return dir.string();
}

namespace {
// One render of a short sine with the start-up state: tells whether rendering works at
// all and whether the activation sequence ran.
const CliRun& PlainRender() {
  static const CliRun run = RunRender({}, Sine(2200, 440.0, 22050.0, 8000));
  return run;
}
}  // namespace

const std::string& RenderUnavailable() {
  static const std::string reason = [] {
    const CliRun& run = PlainRender();
    if (run.exitCode == 0) return std::string();
    std::string text = "exit ";
    text += std::to_string(run.exitCode);
    text += ": ";
    text.append(run.errors, 0, run.errors.find('\n'));
    return text;
  }();
  return reason;
}

const std::vector<uint8_t>* ClearPreset() {
  static const std::optional<std::vector<uint8_t>> bytes = []() -> std::optional<std::vector<uint8_t>> {
    const fs::path path = fs::path(std::getenv("FRETWERK_CLI")).parent_path() / "clear.pre";
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }();
  return bytes ? &*bytes : nullptr;
}

bool RenderIsAudible() {
  static const bool runs = [] {
    for (int16_t s : PlainRender().output)
      if (s != 0) return true;
    return false;
  }();
  return runs;
}

}  // namespace model
