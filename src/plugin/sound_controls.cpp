#include "plugin/sound_controls.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "app/form1.h"
#include "presets/preset_record.h"

namespace fw::plugin {

const std::vector<std::string> kUnstoredSoundControls = {
    "ScrollBar_del_in",           "RadioGroup_Dist_Of12",     "ScrollBar_nd_Ampl",
    "ScrollBar_Trash_nd_Delay",   "CheckBox_Mute_Live_Input", "RadioGroup_OUT_MONO_",
    "ScrollBar_max_chorus_delay",
};

namespace {

SoundControl Describe(const TForm1& form, const std::string& name, bool stored) {
  const ui::Control* control = form.Find(name);
  if (const auto* bar = dynamic_cast<const ui::ScrollBar*>(control)) {
    return {name, SoundControlKind::Bar, bar->Min(), bar->Max(), bar->Position(), {}, stored};
  }
  if (const auto* box = dynamic_cast<const ui::CheckBox*>(control)) {
    return {name, SoundControlKind::Box, 0, 1, box->Checked() ? 1 : 0, {}, stored};
  }
  if (const auto* group = dynamic_cast<const ui::RadioGroup*>(control)) {
    const int last = static_cast<int>(group->Items().size()) - 1;
    return {name,  SoundControlKind::Group, 0, last, std::clamp(group->ItemIndex(), 0, last), group->Items(),
            stored};
  }
  throw UnknownControl("no sound control " + name);
}

}  // namespace

std::vector<SoundControl> SoundControls(const TForm1& form) {
  std::vector<SoundControl> controls;
  for (const StoredControl& stored : kStoredControls)
    controls.push_back(Describe(form, std::string(stored.name), true));
  for (const std::string& name : kUnstoredSoundControls) controls.push_back(Describe(form, name, false));
  return controls;
}

int ControlValueOf(const SoundControl& control, float portValue, int fallback) noexcept {
  if (!std::isfinite(portValue)) return fallback;
  if (control.kind == SoundControlKind::Box) return portValue > 0.0f ? 1 : 0;
  const float limited =
      std::clamp(portValue, static_cast<float>(control.min), static_cast<float>(control.max));
  return static_cast<int>(std::lrint(limited));
}

}  // namespace fw::plugin
