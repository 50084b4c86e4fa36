#pragma once
// System services on Linux: local time of day, no ring-0 drivers, and the program
// directory that holds the fixed presets and the help page.
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/system_services.h"

namespace fw {

// Everything the program-directory rule looks at, so it can be tested.
struct ProgramDirectoryInputs {
  std::optional<std::string> fretwerkHome;  // FRETWERK_HOME
  std::optional<std::string> xdgDataHome;   // XDG_DATA_HOME
  std::optional<std::string> home;          // HOME
  std::optional<std::string> accountHome;   // the password database's, used without HOME
  std::string executableDirectory;          // without trailing separator
  // Where an installation keeps the shipped presets and help page.
  std::string installedDataDirectory;
};

// The files that must sit in the program directory.
inline constexpr const char* kFixedPresetFiles[] = {"dist1.pre", "clear.pre", "all.pre", "solo1.pre",
                                                    "hard.pre"};
inline constexpr const char* kHelpPageFile = "help_nd.htm";

// A per-user data directory that another user owns or may write.
class ProgramDirectoryRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// FRETWERK_HOME when set; else the executable's directory when the fixed presets are
// beside it (as in the build tree); else the per-user data directory, created and
// filled with any missing shipped file so the Save As buttons can write there. That
// one must belong to the user and be writable by nobody else (ProgramDirectoryRefused).
// The result ends with a separator.
std::string ResolveProgramDirectory(const ProgramDirectoryInputs& inputs);

// Where the rule looks, in its order, as one line for a message: the places a
// failure to find the fixed presets names.
std::string ProgramDirectoryPlaces(const ProgramDirectoryInputs& inputs);

// The inputs of the running process.
ProgramDirectoryInputs CurrentProgramDirectoryInputs();

class LinuxSystemServices final : public SystemServices {
 public:
  // onTerminate runs when the application is asked to terminate (the loop's quit).
  explicit LinuxSystemServices(std::function<void()> onTerminate = {});

  std::int64_t TimeOfDayMs() override;
  // Only the simulated legacy PC offers ring-0 drivers on Linux.
  bool HasRing0Drivers() override { return ring0Drivers_; }
  void SetRing0Drivers(bool present) { ring0Drivers_ = present; }
  std::string ProgramDirectory() override;
  // Replaces the rule's answer (fretwerk-cli --preset-dir); a separator is added.
  void SetProgramDirectory(std::string directory);
  void RequestTerminate() override;
  // A fatal error (its message already shown): the program ends as a close of the
  // window does, stopping the audio and finishing a take, and then fails.
  void EndProgramNow() override;
  bool EndedOnFailure() const { return endedOnFailure_; }

 private:
  std::function<void()> onTerminate_;
  std::optional<std::string> programDirectory_;
  bool ring0Drivers_ = false;
  bool endedOnFailure_ = false;
};

}  // namespace fw
