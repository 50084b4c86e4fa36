// The "Flanger" page: "Off/On", gain, speed and tone.
#include "app/form1.h"
#include "app/pages/pages.h"

namespace fw {
namespace {

constexpr const char* kPage = "Flanger";

// Checking resets the flanger, gain and feedback included (their bars stay where they are).
void CheckBox_FlangerClick(TForm1& form) {
  if (form.Box("CheckBox_Flanger").Checked()) {
    form.engine.params.FlangerOn.store(1);
    form.engine.flanger.Reset();
  } else {
    form.engine.params.FlangerOn.store(0);
  }
}

void ScrollBar_Flanger_GainChange(TForm1& form) {
  form.engine.flanger.FlangerGain.store(static_cast<float>(form.Bar("ScrollBar_Flanger_Gain").Position()) /
                                        50.0f);
}

void ScrollBar_Flanger_SpeedChange(TForm1& form) {
  form.engine.flanger.SetSweepSpeed(static_cast<float>(form.Bar("ScrollBar_Flanger_Speed").Position()) *
                                    0.001f);
}

void ScrollBar_Flanger_ToneChange(TForm1& form) {
  form.engine.flanger.FlangerFeedback.store(
      static_cast<float>(form.Bar("ScrollBar_Flanger_Tone").Position()) / 50.0f);
}

}  // namespace

void BuildFlangerControls(TForm1& form) {
  form.AddCheckBox("CheckBox_Flanger", kPage, "Off/On", true).OnClick = [&form] {
    CheckBox_FlangerClick(form);
  };
  form.AddLabel("Label_Flanger_Gain", kPage, "Flanger Gain");
  form.AddScrollBar("ScrollBar_Flanger_Gain", kPage, 1, 100, 25).OnChange = [&form] {
    ScrollBar_Flanger_GainChange(form);
  };
  form.AddLabel("Label_Flanger_Speed", kPage, "Flanger Speed");
  form.AddScrollBar("ScrollBar_Flanger_Speed", kPage, 1, 100, 10).OnChange = [&form] {
    ScrollBar_Flanger_SpeedChange(form);
  };
  form.AddLabel("Label_Flanger_Tone", kPage, "Flanger Tone");
  form.AddScrollBar("ScrollBar_Flanger_Tone", kPage, 1, 48, 25).OnChange = [&form] {
    ScrollBar_Flanger_ToneChange(form);
  };
}

}  // namespace fw
