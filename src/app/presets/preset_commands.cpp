#include "app/presets/preset_commands.h"

#include "app/form1.h"
#include "app/presets/engine_links.h"
#include "app/presets/preset_highlight.h"
#include "app/presets/preset_operations.h"
#include "app/presets/preset_state.h"
#include "app/system_services.h"

namespace fw {
namespace {

constexpr std::int64_t kKeyRepeatPauseMs = 250;

void SetTypeOfTrash(TForm1& form, bool checked) { form.Box("CheckBox_TypeOfTrash").SetChecked(checked); }

std::int64_t TimeOfDayMs(TForm1& form) {
  return form.platform.system != nullptr ? form.platform.system->TimeOfDayMs() : form.loop.GetClock().NowMs();
}

}  // namespace

void BitBtn_HardRockClick(TForm1& form) {
  SetTypeOfTrash(form, true);
  SetFlangerReadPosition(form, 1.0f);
  LoadPresetByName(form, kHardRockPreset);
  HighlightPresetButton(form, PresetButton::HardRock);
}

void BitBtn_SoloClick(TForm1& form) {
  SetTypeOfTrash(form, false);
  SetFlangerReadPosition(form, 1.0f);
  SetTubeFlag(form, 0);
  LoadPresetByName(form, kCleanPreset);
  form.Bar("ScrollBar_OutPut_Volume").SetPosition(50);
  RunTubeDesignSequence(form, 1.0f, 3.0f, 0.5f);
  SetTubeFlag(form, 1);
  SetTubeVoicing(form, 2);
  HighlightPresetButton(form, PresetButton::Solo);
}

void BitBtn_ClearClick(TForm1& form) {
  SetFlangerReadPosition(form, 1.0f);
  SetTubeFlag(form, 0);
  LoadPresetByName(form, kCleanPreset);
  HighlightPresetButton(form, PresetButton::Clear);
}

void BitBtn_AllEffectsClick(TForm1& form) {
  SetFlangerReadPosition(form, 1.0f);
  SetTubeFlag(form, 0);
  LoadPresetByName(form, kAllEffectsPreset);
  HighlightPresetButton(form, PresetButton::AllEffects);
}

void SavePresetAs(TForm1& form, std::string_view name) {
  PresetsOf(form).currentFile = ProgramFilePath(form, name);
  SavePreset(form, false);
}

void KeyboardToggle(TForm1& form) {
  PresetState& state = PresetsOf(form);
  const std::int64_t now = TimeOfDayMs(form);
  // Measured from the last key-down of any kind, so a held key toggles once.
  if (now - state.previousKeyTime > kKeyRepeatPauseMs) {
    state.toggleState = 1 - state.toggleState;
    SetFlangerReadPosition(form, 1.0f);
    SetTubeFlag(form, 0);
    if (state.toggleState == 1) {
      LoadPresetByName(form, kSoloPreset);
      HighlightPresetButton(form, PresetButton::Solo);
    } else {
      LoadPresetByName(form, kHeavyPreset);
      HighlightPresetButton(form, PresetButton::HardRock);
    }
  }
  state.previousKeyTime = now;
}

void FormKeyDown(TForm1& form) {
  form.RunCommand([&form] { KeyboardToggle(form); });
}

}  // namespace fw
