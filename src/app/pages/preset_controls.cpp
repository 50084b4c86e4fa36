// The "Presets" page, the four preset buttons on the "REALTIME" page and the three
// Save As buttons under the output volume.
#include "app/form1.h"
#include "app/pages/pages.h"
#include "app/presets/preset_commands.h"
#include "app/presets/preset_operations.h"
#include "app/presets/preset_state.h"

namespace fw {
namespace {

void BitBtn_LoadPresetClick(TForm1& form) { LoadPresetWithDialog(form); }
void BitBtn_SavePresetClick(TForm1& form) { SavePreset(form, true); }
void BitBtn_BGuitarSClick(TForm1& form) { SavePresetAs(form, kHardRockPreset); }
void BitBtn_WebUClick(TForm1& form) { SavePresetAs(form, kCleanPreset); }
void BitBtn5Click(TForm1& form) { SavePresetAs(form, kAllEffectsPreset); }

// Every button runs as one command: a failed file step ends it and is shown.
void Attach(TForm1& form, ui::Button& button, void (*command)(TForm1&)) {
  button.OnClick = [&form, command] { form.RunCommand([&form, command] { command(form); }); };
}

}  // namespace

void BuildPresetControls(TForm1& form) {
  PresetsOf(form);
  const auto bitmap = ui::ButtonKind::Bitmap;
  Attach(form, form.AddButton("BitBtn_SavePreset", "Presets", "Save Personal Preset ", bitmap),
         BitBtn_SavePresetClick);
  Attach(form, form.AddButton("BitBtn_LoadPreset", "Presets", "Load Personal Preset", bitmap),
         BitBtn_LoadPresetClick);

  auto& hardRock = form.AddButton("BitBtn_HardRock", "REALTIME", "Distortion 1", bitmap);
  hardRock.SetHint("Play Hard Rock with this Preset!");
  Attach(form, hardRock, BitBtn_HardRockClick);
  Attach(form, form.AddButton("BitBtn_Solo", "REALTIME", "Distortion 2", bitmap), BitBtn_SoloClick);
  Attach(form, form.AddButton("BitBtn_Clear", "REALTIME", "Clean", bitmap), BitBtn_ClearClick);
  Attach(form, form.AddButton("BitBtn_AllEffects", "REALTIME", "Default", bitmap), BitBtn_AllEffectsClick);

  auto& saveDistortion = form.AddButton("BitBtn_BGuitarS", "", "Save As 'Distortion'", bitmap);
  saveDistortion.SetHint("Save current FX config as Hard Rock preset.");
  Attach(form, saveDistortion, BitBtn_BGuitarSClick);
  auto& saveClean = form.AddButton("BitBtn_WebU", "", "Save As \"Clean\"", bitmap);
  saveClean.SetHint("Save current FX config as Solo preset.");
  Attach(form, saveClean, BitBtn_WebUClick);
  Attach(form, form.AddButton("BitBtn5", "", "Save As \"Default\"", bitmap), BitBtn5Click);
}

}  // namespace fw
