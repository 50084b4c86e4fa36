// The two mirrored input gain sliders: "Digital INPUT Gain" on the "Distortion"
// page and "Input Gain (Drive)" on the " SHREDDER  Pro  " page.
#include "app/form1.h"
#include "app/pages/pages.h"
#include "app/pages/slider_readout.h"

namespace fw {
namespace {

// Drive 0 is half the input; the "Distortion" page's bar starts at 1.
float InputGainFor(int position) { return position == 0 ? 0.5f : static_cast<float>(position); }

constexpr SliderReadout kInputGainReadout{ReadoutUnit::Decibels,
                                          [](int position, int) -> double { return InputGainFor(position); }};

// Each handler first moves its partner, then reads its own position again: the
// partner's handler may have moved it back (del_in at 0 from a drive of 5 ends at 1).
void ScrollBar_Digital_IN_GainChange(TForm1& form) {
  auto& self = form.Bar("ScrollBar_Digital_IN_Gain");
  form.Bar("ScrollBar_del_in").SetPosition(self.Position());
  form.engine.params.InputGain.store(InputGainFor(self.Position()));
}

void ScrollBar_del_inChange(TForm1& form) {
  auto& self = form.Bar("ScrollBar_del_in");
  form.Bar("ScrollBar_Digital_IN_Gain").SetPosition(self.Position());
  form.engine.params.InputGain.store(InputGainFor(self.Position()));
}

}  // namespace

void BuildInputGainControls(TForm1& form) {
  form.AddLabel("Label_Digital_IN_Gain", "Distortion", "Digital INPUT Gain");
  auto& gain = form.AddScrollBar("ScrollBar_Digital_IN_Gain", "Distortion", 1, 30, 1);
  gain.OnChange = [&form] { ScrollBar_Digital_IN_GainChange(form); };
  AttachReadout(form, gain, kInputGainReadout);
  form.AddLabel("Label_del_in", " SHREDDER  Pro  ", "Input Gain (Drive)");
  auto& drive = form.AddScrollBar("ScrollBar_del_in", " SHREDDER  Pro  ", 0, 16, 1);
  drive.OnChange = [&form] { ScrollBar_del_inChange(form); };
  AttachReadout(form, drive, kInputGainReadout);
}

}  // namespace fw
