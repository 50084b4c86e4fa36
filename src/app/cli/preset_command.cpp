// fretwerk-cli preset show FILE / preset set FILE NAME=VALUE...: read and write preset
// records without the window, with the same record table the window uses.
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/commands.h"
#include "files/io_error.h"
#include "presets/preset_file.h"
#include "presets/preset_record.h"

namespace fw::cli {
namespace {

constexpr std::string_view kTubeFlagName = "TubeOn";
constexpr std::string_view kTubeVoicingName = "TubeVoicing";

std::string RangeText(const StoredControl& stored) {
  return std::to_string(stored.min) + ".." + std::to_string(stored.max);
}

std::string ShowValue(const PresetRecord& record, const StoredControl& stored) {
  std::ostringstream out;
  if (stored.kind == StoredKind::CheckBox) {
    const int byte = record.bytes()[static_cast<std::size_t>(stored.offset)];
    out << (byte != 0 ? 1 : 0);
    if (byte > 1) out << "  (byte " << byte << ", loads as checked)";
    return out.str();
  }
  const int value = record.Int(stored.offset);
  out << value;
  if (value < stored.min || value > stored.max) {
    // A radio group may also hold -1 (no item), which the window accepts.
    const bool noItem = stored.kind == StoredKind::RadioGroup && value == -1;
    if (!noItem) {
      out << "  (out of range " << RangeText(stored) << ", loads as "
          << std::clamp(value, stored.min, stored.max) << ")";
    }
  }
  return out.str();
}

int ShowPreset(const std::string& path) {
  std::vector<std::uint8_t> data;
  try {
    data = ReadFilePrefix(path, kPresetRecordSize + 1);
  } catch (const IoError& error) {
    std::cerr << path << ": " << error.what() << "\n";
    return 1;
  }
  PresetRecord record;
  record.ReplacePrefix(data);
  if (data.size() < static_cast<std::size_t>(kPresetRecordSize)) {
    std::cout << "# short file: " << data.size() << " of " << kPresetRecordSize
              << " bytes; the rest keeps whatever the last preset read left\n";
  } else if (data.size() > static_cast<std::size_t>(kPresetRecordSize)) {
    std::cout << "# long file: only the first " << kPresetRecordSize << " bytes are read\n";
  }
  for (const auto& stored : kStoredControls) {
    std::cout << std::left << std::setw(28) << stored.name << " = " << ShowValue(record, stored) << "\n";
  }
  const int voicing = record.TubeVoicing();
  std::cout << std::left << std::setw(28) << kTubeFlagName << " = " << record.TubeFlag()
            << (record.TubeFlag() == 1 ? "  (tube stages on)" : "  (tube stages off)") << "\n";
  std::cout << std::left << std::setw(28) << kTubeVoicingName << " = " << voicing
            << (voicing == 1   ? "  (Distortion 1 voicing)"
                : voicing == 2 ? "  (Distortion 2 voicing)"
                               : "")
            << "\n";
  return 0;
}

bool ParseInt(std::string_view text, int& value) {
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Applies one NAME=VALUE; returns an error text, empty on success.
std::string Assign(PresetRecord& record, const std::string& assignment) {
  const auto equals = assignment.find('=');
  if (equals == std::string::npos) return "expected NAME=VALUE, got \"" + assignment + "\"";
  const std::string name = assignment.substr(0, equals);
  const std::string text = assignment.substr(equals + 1);
  int value = 0;
  if (!ParseInt(text, value)) return name + ": \"" + text + "\" is not a whole number";
  if (name == kTubeFlagName) {
    record.SetTubeFlag(value);
    return {};
  }
  if (name == kTubeVoicingName) {
    if (value < 0 || value > 2) return name + ": voicing must be 0, 1 or 2";
    record.SetTubeVoicing(value);
    return {};
  }
  const auto stored = FindStoredControl(name);
  if (!stored) return "unknown control \"" + name + "\" (see 'preset show' for the names)";
  if (value < stored->min || value > stored->max) {
    return name + ": " + text + " is outside " + RangeText(*stored);
  }
  record.SetValue(*stored, value);
  return {};
}

int SetPreset(const std::string& path, const std::vector<std::string>& assignments) {
  PresetRecord record = InitialPresetRecord();
  std::error_code missing;
  if (std::filesystem::exists(path, missing)) {
    try {
      record.ReplacePrefix(ReadFilePrefix(path, kPresetRecordSize));
    } catch (const IoError& error) {
      std::cerr << path << ": " << error.what() << "\n";
      return 1;
    }
  }
  for (const auto& assignment : assignments) {
    const std::string problem = Assign(record, assignment);
    if (!problem.empty()) {
      std::cerr << problem << "\n";
      return 2;
    }
  }
  try {
    WriteWholeFile(path, record.bytes().data(), record.bytes().size());
  } catch (const IoError& error) {
    std::cerr << path << ": " << error.what() << "\n";
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
  show->add_option("FILE", *showFile, "Preset file")->required();
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
  set->add_option("FILE", *setFile, "Preset file")->required();
  set->add_option("NAME=VALUE", *assignments, "Control positions, e.g. ScrollBar_OutPut_Volume=40");
  set->callback([setFile, assignments] {
    const int code = SetPreset(*setFile, *assignments);
    if (code != 0) throw CLI::RuntimeError(code);
  });
}

}  // namespace fw::cli
