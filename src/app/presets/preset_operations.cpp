#include "app/presets/preset_operations.h"

#include "app/form1.h"
#include "app/presets/engine_links.h"
#include "app/presets/preset_highlight.h"
#include "app/presets/preset_state.h"
#include "app/system_services.h"
#include "files/io_error.h"
#include "presets/preset_file.h"
#include "ui/dialogs.h"

namespace fw {
namespace {

// Sets the control as a user would: limited to its range, handler only on change.
void SetControlValue(TForm1& form, const StoredControl& stored, const PresetRecord& record) {
  switch (stored.kind) {
    case StoredKind::ScrollBar:
      form.Bar(stored.name).SetPosition(record.Int(stored.offset));
      break;
    case StoredKind::RadioGroup:
      form.Group(stored.name).SetItemIndex(record.Int(stored.offset));
      break;
    case StoredKind::CheckBox:
      form.Box(stored.name).SetChecked(record.Checked(stored.offset));
      break;
  }
}

void SetTypeOfTrash(TForm1& form, bool checked) { form.Box("CheckBox_TypeOfTrash").SetChecked(checked); }

// The dialogs open in the program directory, where the fixed presets are.
ui::FileDialogOptions PresetDialog(const TForm1& form, const char* title) {
  ui::FileDialogOptions options;
  options.title = title;
  if (form.platform.system != nullptr) options.initialDir = form.platform.system->ProgramDirectory();
  options.filter = kPresetFilter;
  options.defaultExt = "pre";
  return options;
}

void ReadIntoRecord(TForm1& form, const std::string& path) {
  const auto data = ReadFilePrefix(path, kPresetRecordSize);
  PresetsOf(form).record.ReplacePrefix(data);
}

// The voicing step: a record that turns the tube stages on with voicing 1 or 2
// designs them before the controls are applied.
void VoicingStep(TForm1& form) {
  if (TubeFlag(form) != 1) {
    SetTubeFlag(form, 0);
    return;
  }
  const std::int32_t voicing = TubeVoicing(form);
  if (voicing == 1) {
    SetFlangerReadPosition(form, 1.0f);
    SetTubeFlag(form, 0);
    RunTubeDesignSequence(form, 3.0f, 1.0f, 0.95f);
    HighlightPresetButton(form, PresetButton::HardRock);
  } else if (voicing == 2) {
    SetTypeOfTrash(form, false);
    SetFlangerReadPosition(form, 1.0f);
    RunTubeDesignSequence(form, 1.0f, 3.0f, 0.5f);
    HighlightPresetButton(form, PresetButton::Solo);
  }
}

}  // namespace

std::string ProgramFilePath(const TForm1& form, std::string_view name) {
  const std::string directory =
      form.platform.system != nullptr ? form.platform.system->ProgramDirectory() : std::string("./");
  return directory + std::string(name);
}

int StoredControlValue(const TForm1& form, const StoredControl& stored) {
  switch (stored.kind) {
    case StoredKind::ScrollBar:
      return form.Bar(stored.name).Position();
    case StoredKind::RadioGroup:
      return form.Group(stored.name).ItemIndex();
    case StoredKind::CheckBox:
      return form.Box(stored.name).Checked() ? 1 : 0;
  }
  return 0;
}

void FillPresetRecord(TForm1& form) {
  PresetRecord& record = PresetsOf(form).record;
  for (const auto& stored : kStoredControls) record.SetValue(stored, StoredControlValue(form, stored));
  record.SetTubeFlag(TubeFlag(form));
  record.SetTubeVoicing(TubeVoicing(form));
}

void ApplyPresetRecord(TForm1& form) {
  const PresetRecord& record = PresetsOf(form).record;
  SetTubeFlag(form, record.TubeFlag());
  SetTubeVoicing(form, record.TubeVoicing());
  VoicingStep(form);
  // Handlers may move other stored controls; a later slot then wins, as in the table.
  for (const auto& stored : kStoredControls) SetControlValue(form, stored, PresetsOf(form).record);
}

void SavePreset(TForm1& form, bool ask) {
  PresetState& state = PresetsOf(form);
  if (ask) {
    if (form.platform.dialogs == nullptr) return;
    const auto chosen = form.platform.dialogs->SaveFile(PresetDialog(form, "Save Effects Preset"));
    if (!chosen) return;
    state.currentFile = *chosen;
  }
  FillPresetRecord(form);
  try {
    WriteWholeFile(state.currentFile, state.record.bytes().data(), state.record.bytes().size());
  } catch (const IoError& error) {
    // A failed save must not pass for a saved preset.
    form.ShowError(error.FullText());
  }
}

void LoadPresetWithDialog(TForm1& form) {
  if (form.platform.dialogs == nullptr) return;
  const auto chosen = form.platform.dialogs->OpenFile(PresetDialog(form, "Load Effects Preset"));
  if (!chosen) return;
  PresetsOf(form).currentFile = *chosen;
  try {
    ReadIntoRecord(form, *chosen);
  } catch (const IoError& error) {
    // Applying the old buffer would pass off the previous preset as the chosen one.
    form.ShowError(error.FullText());
    return;
  }
  ApplyPresetRecord(form);
}

void LoadPresetByName(TForm1& form, std::string_view name) {
  LoadPresetFromPath(form, ProgramFilePath(form, name));
}

void LoadPresetFromPath(TForm1& form, const std::string& path) {
  PresetsOf(form).currentFile = path;
  ReadIntoRecord(form, path);
  ApplyPresetRecord(form);
}

}  // namespace fw
