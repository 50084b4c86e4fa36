// The "Playback" page.
#include "app/form1.h"
#include "app/pages/pages.h"

namespace fw {
namespace {

void CheckBox_Mute_Live_InputClick(TForm1& form) {
  form.engine.params.LiveInputFactor.store(form.Box("CheckBox_Mute_Live_Input").Checked() ? 0.001f : 1.001f);
}

// The chain reads this box on every block: mix the file before (checked) or after the effects.
void CheckBox_wav_via_effectsClick(TForm1& form) {
  form.engine.params.WavViaEffects.store(form.Box("CheckBox_wav_via_effects").Checked() ? 1 : 0);
}

}  // namespace

void BuildPlaybackControls(TForm1& form) {
  form.AddCheckBox("CheckBox_Mute_Live_Input", "Playback", "Mute Live Input").OnClick = [&form] {
    CheckBox_Mute_Live_InputClick(form);
  };
  form.AddCheckBox("CheckBox_wav_via_effects", "Playback", "Effects").OnClick = [&form] {
    CheckBox_wav_via_effectsClick(form);
  };
}

}  // namespace fw
