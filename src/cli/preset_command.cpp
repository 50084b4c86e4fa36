// fretwerk-cli preset show FILE / preset set FILE NAME=VALUE...: read and write preset
// records without the window, with the same record table the window uses.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/startup/headless_start.h"
#include "cli/commands.h"
#include "cli/control_setting.h"
#include "cli/headless_form.h"
#include "files/io_error.h"
#include "presets/preset_file.h"
#include "presets/preset_record.h"
#include "presets/preset_text.h"

namespace fw::cli {
namespace {

// A path, or the name of a fixed preset in the program directory, as render --preset
// takes it.
int ShowPreset(const std::string& preset) {
  HeadlessForm window;
  const std::string path = ResolvePresetArgument(*window.form, preset);
  std::vector<std::uint8_t> data;
  try {
    data = ReadFilePrefix(path, kPresetRecordSize + 1);
  } catch (const IoError& error) {
    std::cerr << path << ": " << error.FullText() << "\n";
    return 1;
  }
  PresetRecord record;
  record.ReplacePrefix(data);
  std::cout << DescribePresetRecord(record, data.size());
  return 0;
}

// A window control that presets do not store is called that, not unknown.
std::string NotStoredOr(const std::string& assignment, const std::string& problem) {
  const std::string name = assignment.substr(0, assignment.find('='));
  HeadlessForm window;
  if (const ui::Control* control = FindSettableControl(*window.form, name)) {
    return control->Name() + " is a control presets do not store; set it with --set in render or run";
  }
  return problem;
}

int SetPreset(const std::string& path, const std::vector<std::string>& assignments, bool force) {
  if (const std::string reason = NotAPresetReason(path); !reason.empty() && !force) {
    std::cerr << "fretwerk-cli preset set: " << path << " is not a preset file (" << reason
              << "); nothing written. --force writes it anyway\n";
    return 1;
  }
  PresetRecord record = InitialPresetRecord();
  std::error_code missing;
  if (std::filesystem::exists(path, missing)) {
    try {
      record.ReplacePrefix(ReadFilePrefix(path, kPresetRecordSize));
    } catch (const IoError& error) {
      std::cerr << path << ": " << error.FullText() << "\n";
      return 1;
    }
  }
  for (const auto& assignment : assignments) {
    const PresetAssignment result = AssignPresetWord(record, assignment);
    if (!result.note.empty()) std::cerr << "fretwerk-cli preset set: note: " << result.note << "\n";
    if (!result.problem.empty()) {
      std::cerr << "fretwerk-cli preset set: " << NotStoredOr(assignment, result.problem) << "\n";
      return 2;
    }
  }
  try {
    WriteWholeFile(path, record.bytes().data(), record.bytes().size());
  } catch (const IoError& error) {
    std::cerr << "fretwerk-cli preset set: "
              << (error.Detail().empty() ? path + ": " + error.what() : error.Detail()) << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

void AddPresetCommands(CLI::App& app) {
  auto* preset = app.add_subcommand("preset", "Show or edit preset files (.pre)");
  preset->require_subcommand(1);

  auto* show =
      preset->add_subcommand("show", "Print every stored control and the tube words of a preset file");
  auto showFile = std::make_shared<std::string>();
  show->add_option("FILE", *showFile, "Preset file, or a fixed preset's name (solo1)")->required();
  show->callback([showFile] {
    const int code = ShowPreset(*showFile);
    if (code != 0) throw CLI::RuntimeError(code);
  });

  auto* set = preset->add_subcommand(
      "set",
      "Set stored controls (and TubeOn, TubeVoicing) in a preset file; a missing file starts from the "
      "window's initial positions");
  auto setFile = std::make_shared<std::string>();
  auto assignments = std::make_shared<std::vector<std::string>>();
  auto force = std::make_shared<bool>(false);
  set->add_option("FILE", *setFile, "Preset file (.pre)")->required();
  set->add_option("NAME=VALUE", *assignments, "Control positions, e.g. ScrollBar_OutPut_Volume=40");
  set->add_flag("--force", *force, "Write even a file that is not a preset record (another name or size)");
  set->callback([setFile, assignments, force] {
    const int code = SetPreset(*setFile, *assignments, *force);
    if (code != 0) throw CLI::RuntimeError(code);
  });
}

}  // namespace fw::cli
