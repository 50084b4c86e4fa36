// The page "Distortion Presets": an empty paint box and the tube stages' hidden switch.
#include "app/form1.h"
#include "app/pages/pages.h"

namespace fw {
namespace {

void CheckBox_tubetortion_OnOffClick(TForm1& form) {
  form.engine.params.TubeOn.store(form.Box("CheckBox_tubetortion_OnOff").Checked() ? 1 : 0);
}

}  // namespace

void BuildTubeControls(TForm1& form) {
  form.AddPaintBox("PaintBox1", "Distortion Presets");
  auto& box = form.AddCheckBox("CheckBox_tubetortion_OnOff", "Distortion Presets", "On/Off");
  box.SetVisible(false);
  box.OnClick = [&form] { CheckBox_tubetortion_OnOffClick(form); };
}

}  // namespace fw
