#include "app/startup/headless_start.h"

#include <filesystem>

#include "app/form1.h"
#include "app/presets/preset_operations.h"
#include "app/startup/form_activate.h"
#include "app/startup/main_unit.h"

namespace fw {

std::string ResolvePresetArgument(const TForm1& form, const std::string& preset) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::exists(preset, error)) return preset;
  std::string name = fs::path(preset).filename().string();
  if (fs::path(name).extension() != ".pre") name += ".pre";
  const std::string inProgramDirectory = ProgramFilePath(form, name);
  return fs::exists(inProgramDirectory, error) ? inProgramDirectory : preset;
}

void StartHeadless(TForm1& form, const std::string& preset) {
  InitialiseMainUnit(form.engine, form.io);
  ActivationSequence(form);
  if (!preset.empty()) LoadPresetFromPath(form, ResolvePresetArgument(form, preset));
}

}  // namespace fw
