#include "app/startup/headless_start.h"

#include <filesystem>

#include "app/form1.h"
#include "app/presets/preset_operations.h"
#include "app/startup/form_activate.h"
#include "app/startup/main_unit.h"
#include "files/io_error.h"
#include "presets/preset_file.h"

namespace fw {

namespace {

std::string InProgramDirectory(const TForm1& form, const std::string& preset) {
  namespace fs = std::filesystem;
  std::string name = fs::path(preset).filename().string();
  if (fs::path(name).extension() != ".pre") name += ".pre";
  return ProgramFilePath(form, name);
}

}  // namespace

std::string ResolvePresetArgument(const TForm1& form, const std::string& preset) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::exists(preset, error)) return preset;
  const std::string inProgramDirectory = InProgramDirectory(form, preset);
  return fs::exists(inProgramDirectory, error) ? inProgramDirectory : preset;
}

std::string PresetArgumentProblem(const TForm1& form, const std::string& preset) {
  namespace fs = std::filesystem;
  std::error_code error;
  const std::string path = ResolvePresetArgument(form, preset);
  if (fs::is_directory(path, error)) return path + " is a directory, not a preset file";
  if (!fs::exists(path, error)) {
    return "preset file not found: looked for " + preset + " and " + InProgramDirectory(form, preset);
  }
  return {};
}

std::string PresetArgumentWarning(const TForm1& form, const std::string& preset) {
  const std::string path = ResolvePresetArgument(form, preset);
  const std::string reason = NotAPresetReason(path);
  if (reason.empty()) return {};
  return path + " does not look like a preset file (" + reason + "); its bytes are loaded as settings";
}

void StartHeadless(TForm1& form, const std::string& preset) {
  InitialiseMainUnit(form.engine, form.io);
  ActivationSequence(form);
  if (preset.empty()) return;
  if (const std::string problem = PresetArgumentProblem(form, preset); !problem.empty()) {
    throw IoError(IoError::FileNotFound().Code(), IoError::FileNotFound().what(), problem);
  }
  LoadPresetFromPath(form, ResolvePresetArgument(form, preset));
}

}  // namespace fw
