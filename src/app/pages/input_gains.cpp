// The two mirrored input gain sliders: "Digital INPUT Gain" on the "Distortion"
// page and "Input Gain (Drive)" on the " SHREDDER  Pro  " page.
#include "app/form1.h"
#include "app/pages/pages.h"

namespace fw {
namespace {

// Each handler first moves its partner, then reads its own position again: the
// partner's handler may have moved it back (del_in at 0 from a drive of 5 ends at 1).
void ScrollBar_Digital_IN_GainChange(TForm1& form) {
  auto& self = form.Bar("ScrollBar_Digital_IN_Gain");
  form.Bar("ScrollBar_del_in").SetPosition(self.Position());
  form.engine.params.InputGain.store(static_cast<float>(self.Position()));
}

void ScrollBar_del_inChange(TForm1& form) {
  auto& self = form.Bar("ScrollBar_del_in");
  form.Bar("ScrollBar_Digital_IN_Gain").SetPosition(self.Position());
  const int position = self.Position();
  form.engine.params.InputGain.store(position == 0 ? 0.5f : static_cast<float>(position));
}

}  // namespace

void BuildInputGainControls(TForm1& form) {
  form.AddLabel("Label_Digital_IN_Gain", "Distortion", "Digital INPUT Gain");
  form.AddScrollBar("ScrollBar_Digital_IN_Gain", "Distortion", 1, 30, 1).OnChange = [&form] {
    ScrollBar_Digital_IN_GainChange(form);
  };
  form.AddLabel("Label_del_in", " SHREDDER  Pro  ", "Input Gain (Drive)");
  form.AddScrollBar("ScrollBar_del_in", " SHREDDER  Pro  ", 0, 16, 1).OnChange = [&form] {
    ScrollBar_del_inChange(form);
  };
}

}  // namespace fw
