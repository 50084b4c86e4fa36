// The "Flanger" page: "Off/On", gain, speed and tone.
#include "app/form1.h"
#include "app/pages/labelled_bar.h"
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

float Fiftieths(int position) { return static_cast<float>(position) / 50.0f; }
float SweepSpeedFor(int position) { return static_cast<float>(position) * 0.001f; }

constexpr SliderReadout kFiftiethsReadout{ReadoutUnit::Number,
                                          [](int position, int) -> double { return Fiftieths(position); }};

// The delay sweeps up and down over kSweepTop samples, moving SweepSpeedFor samples a sample.
constexpr SliderReadout kSweepReadout{ReadoutUnit::Hertz, [](int position, int rate) {
                                        return rate * static_cast<double>(SweepSpeedFor(position)) /
                                               (2.0 * Flanger::kSweepTop);
                                      }};

constexpr LabelledBar kBars[] = {
    {"ScrollBar_Flanger_Gain", "Label_Flanger_Gain", "Flanger Gain", 1, 100, 25,
     [](TForm1& form, int position) { form.engine.flanger.FlangerGain.store(Fiftieths(position)); },
     kFiftiethsReadout},
    {"ScrollBar_Flanger_Speed", "Label_Flanger_Speed", "Flanger Speed", 1, 100, 10,
     [](TForm1& form, int position) { form.engine.flanger.SetSweepSpeed(SweepSpeedFor(position)); },
     kSweepReadout},
    {"ScrollBar_Flanger_Tone", "Label_Flanger_Tone", "Flanger Tone", 1, 48, 25,
     [](TForm1& form, int position) { form.engine.flanger.FlangerFeedback.store(Fiftieths(position)); },
     kFiftiethsReadout},
};

}  // namespace

void BuildFlangerControls(TForm1& form) {
  form.AddCheckBox("CheckBox_Flanger", kPage, "Off/On", true).OnClick = [&form] {
    CheckBox_FlangerClick(form);
  };
  AddLabelledBars(form, kPage, kBars);
}

}  // namespace fw
