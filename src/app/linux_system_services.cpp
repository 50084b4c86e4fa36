#include "app/linux_system_services.h"

#include <pwd.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

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
  const std::optional<std::string>& home = inputs.home ? inputs.home : inputs.accountHome;
  if (home) return fs::path(*home) / ".local" / "share" / "fretwerk";
  return fs::temp_directory_path() / ("fretwerk-" + std::to_string(::geteuid()));
}

// The presets loaded at start, the help page handed to the desktop and the Save As
// targets live here: a directory another user owns or may write is not used.
void CheckOnlyTheUserWrites(const fs::path& directory) {
  struct stat status {};
  std::string problem;
  if (::lstat(directory.c_str(), &status) != 0) {
    problem = std::string("cannot be created: ") + std::strerror(errno);
  } else if (!S_ISDIR(status.st_mode)) {
    problem = "is not a directory";
  } else if (status.st_uid != ::geteuid()) {
    problem = "belongs to another user";
  } else if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    problem = "can be written by other users";
  }
  if (!problem.empty())
    throw ProgramDirectoryRefused("the program directory " + directory.string() + " " + problem);
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
  if (fs::create_directories(directory, error)) {
    fs::permissions(directory, fs::perms::owner_all, fs::perm_options::replace | fs::perm_options::nofollow,
                    error);
  }
  CheckOnlyTheUserWrites(directory);
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
  // Without HOME, the account's home from the password database.
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && *found->pw_dir != '\0') {
    inputs.accountHome = std::string(found->pw_dir);
  }
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

void LinuxSystemServices::EndProgramNow() {
  endedOnFailure_ = true;
  RequestTerminate();
}

}  // namespace fw
