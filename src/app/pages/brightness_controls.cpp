// The " Brightness " group on the page "Filters 2": selects the elliptic
// filter's coefficient set.
#include "app/form1.h"
#include "app/pages/pages.h"

namespace fw {
namespace {

void RadioGroup_elipsFClick(TForm1& form) {
  form.engine.elliptic.SelectBrightness(form.Group("RadioGroup_elipsF").ItemIndex());
}

}  // namespace

void BuildBrightnessControls(TForm1& form) {
  form.AddRadioGroup("RadioGroup_elipsF", "Filters 2", " Brightness ",
                     {"Black", "Gray", "White", "Light", "Ultra"}, 0, 5)
      .OnClick = [&form] { RadioGroup_elipsFClick(form); };
}

}  // namespace fw
