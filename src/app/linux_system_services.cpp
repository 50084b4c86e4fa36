#include "app/linux_system_services.h"

#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fw {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> Env(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

std::string WithSeparator(std::string directory) {
  if (directory.empty() || directory.back() != '/') directory += '/';
  return directory;
}

bool HasFixedPresets(const fs::path& directory) {
  std::error_code error;
  return fs::is_regular_file(directory / "clear.pre", error);
}

fs::path UserDataDirectory(const ProgramDirectoryInputs& inputs) {
  if (inputs.xdgDataHome) return fs::path(*inputs.xdgDataHome) / "fretwerk";
  if (inputs.home) return fs::path(*inputs.home) / ".local" / "share" / "fretwerk";
  return fs::temp_directory_path() / "fretwerk";
}

// Copies each shipped file (presets, the help page and the local copies of the web
// pages) the user directory lacks; the user's own saves stay.
void FillFromInstalledCopies(const fs::path& target, const fs::path& installed) {
  std::error_code error;
  if (installed.empty() || !fs::is_directory(installed, error)) return;
  for (const auto& entry : fs::directory_iterator(installed, error)) {
    const fs::path& source = entry.path();
    const bool shipped = source.extension() == ".pre" || source.extension() == ".htm";
    if (!shipped || !entry.is_regular_file(error)) continue;
    const fs::path destination = target / source.filename();
    if (!fs::exists(destination, error)) fs::copy_file(source, destination, error);
  }
}

}  // namespace

std::string ResolveProgramDirectory(const ProgramDirectoryInputs& inputs) {
  if (inputs.fretwerkHome) return WithSeparator(*inputs.fretwerkHome);
  if (!inputs.executableDirectory.empty() && HasFixedPresets(inputs.executableDirectory)) {
    return WithSeparator(inputs.executableDirectory);
  }
  const fs::path directory = UserDataDirectory(inputs);
  std::error_code error;
  fs::create_directories(directory, error);
  FillFromInstalledCopies(directory, inputs.installedDataDirectory);
  return WithSeparator(directory.string());
}

std::string ProgramDirectoryPlaces(const ProgramDirectoryInputs& inputs) {
  if (inputs.fretwerkHome) return WithSeparator(*inputs.fretwerkHome) + " (FRETWERK_HOME)";
  std::string places = WithSeparator(inputs.executableDirectory) + " (beside the program), " +
                       WithSeparator(UserDataDirectory(inputs).string()) + " (the user's data directory)";
  if (!inputs.installedDataDirectory.empty())
    places += ", " + WithSeparator(inputs.installedDataDirectory) + " (the installed share directory)";
  return places;
}

ProgramDirectoryInputs CurrentProgramDirectoryInputs() {
  ProgramDirectoryInputs inputs;
  inputs.fretwerkHome = Env("FRETWERK_HOME");
  inputs.xdgDataHome = Env("XDG_DATA_HOME");
  inputs.home = Env("HOME");
  std::error_code error;
  const fs::path executable = fs::read_symlink("/proc/self/exe", error);
  if (!error) {
    inputs.executableDirectory = executable.parent_path().string();
    inputs.installedDataDirectory = (executable.parent_path().parent_path() / "share" / "fretwerk").string();
  }
  return inputs;
}

LinuxSystemServices::LinuxSystemServices(std::function<void()> onTerminate)
    : onTerminate_(std::move(onTerminate)) {}

std::int64_t LinuxSystemServices::TimeOfDayMs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  const std::int64_t seconds =
      static_cast<std::int64_t>(local.tm_hour) * 3600 + local.tm_min * 60 + local.tm_sec;
  return seconds * 1000 + now.tv_nsec / 1000000;
}

std::string LinuxSystemServices::ProgramDirectory() {
  if (!programDirectory_) programDirectory_ = ResolveProgramDirectory(CurrentProgramDirectoryInputs());
  return *programDirectory_;
}

void LinuxSystemServices::SetProgramDirectory(std::string directory) {
  programDirectory_ = WithSeparator(std::move(directory));
}

void LinuxSystemServices::RequestTerminate() {
  if (onTerminate_) onTerminate_();
}

void LinuxSystemServices::EndProgramNow() { std::exit(0); }

}  // namespace fw
