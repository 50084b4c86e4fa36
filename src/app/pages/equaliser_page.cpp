// The "EQ" page: the pre and post nine-band equalisers, each with its switch,
// eight vertical band sliders, a gain slider "G" and a "Reset" button.
#include <string>

#include "app/form1.h"
#include "app/pages/pages.h"
#include "app/pages/slider_readout.h"
#include "tone/graphic_equalisers.h"

namespace fw {
namespace {

constexpr const char* kPage = "EQ";
constexpr int kSliderMin = 1;
constexpr int kSliderMax = 100;
constexpr int kSliderStart = 50;
constexpr const char* kBandLabels[kEqualiserBands] = {"G",    "125",  "250",  "450", "850",
                                                      "1.7k", "3.4k", "5.5k", "8.0k"};

// v = 101 - position: the top of a vertical slider (position 1) is the loudest.
int SliderValue(int position) { return 101 - position; }
int SliderValue(const ui::ScrollBar& bar) { return SliderValue(bar.Position()); }

// A band's gain and the output gain are the slider law times their neutral values.
constexpr SliderReadout kLawReadout{ReadoutUnit::Decibels,
                                    [](int position, int) { return SliderLaw(SliderValue(position)); }};

float OutputGainFor(const ui::ScrollBar& bar) {
  return static_cast<float>(0.1 * SliderLaw(SliderValue(bar)));
}

std::string SliderName(const char* which, int band) {
  return std::string("ScrollBar_") + which + "EQ" + std::to_string(band);
}

void CheckBox_pre_EQClick(TForm1& form) {
  form.engine.params.PreEqOn.store(form.Box("CheckBox_pre_EQ").Checked() ? 1 : 0);
}

void CheckBox_post_EQClick(TForm1& form) {
  form.engine.params.PostEqOn.store(form.Box("CheckBox_post_EQ").Checked() ? 1 : 0);
}

void ScrollBar_preEQ0Change(TForm1& form) {
  form.engine.eq.pre.EqOutputGain.store(OutputGainFor(form.Bar("ScrollBar_preEQ0")));
}

void ScrollBar_postEQ0Change(TForm1& form) {
  form.engine.eq.post.EqOutputGain.store(OutputGainFor(form.Bar("ScrollBar_postEQ0")));
}

// ScrollBar_preEQ1Change ... ScrollBar_preEQ8Change.
void ScrollBar_preEQChange(TForm1& form, int band) {
  form.engine.eq.SetPreBandGain(band, SliderValue(form.Bar(SliderName("pre", band))));
}

// ScrollBar_postEQ1Change ... ScrollBar_postEQ8Change.
void ScrollBar_postEQChange(TForm1& form, int band) {
  form.engine.eq.SetPostBandGain(band, SliderValue(form.Bar(SliderName("post", band))));
}

// The gain slider first, then the bands; only sliders that move fire.
void ResetSliders(TForm1& form, const char* which) {
  for (int band = 0; band < kEqualiserBands; ++band)
    form.Bar(SliderName(which, band)).SetPosition(kSliderStart);
}

void Button_preEQresetClick(TForm1& form) { ResetSliders(form, "pre"); }
void Button_postEQresetClick(TForm1& form) { ResetSliders(form, "post"); }

void AddSliders(TForm1& form, const char* which) {
  for (int band = 0; band < kEqualiserBands; ++band) {
    const std::string name = SliderName(which, band);
    form.AddLabel("Label_" + std::string(which) + "EQ" + std::to_string(band), kPage, kBandLabels[band]);
    auto& bar =
        form.AddScrollBar(name, kPage, kSliderMin, kSliderMax, kSliderStart, ui::ScrollBarKind::Vertical);
    AttachReadout(form, bar, kLawReadout);
    const bool pre = std::string(which) == "pre";
    if (band == 0) {
      bar.OnChange = pre ? ui::Handler([&form] { ScrollBar_preEQ0Change(form); })
                         : ui::Handler([&form] { ScrollBar_postEQ0Change(form); });
    } else {
      bar.OnChange = pre ? ui::Handler([&form, band] { ScrollBar_preEQChange(form, band); })
                         : ui::Handler([&form, band] { ScrollBar_postEQChange(form, band); });
    }
  }
}

}  // namespace

void BuildEqualiserControls(TForm1& form) {
  form.AddCheckBox("CheckBox_pre_EQ", kPage, "Pre EQ").OnClick = [&form] { CheckBox_pre_EQClick(form); };
  AddSliders(form, "pre");
  form.AddButton("Button_preEQreset", kPage, "Reset").OnClick = [&form] { Button_preEQresetClick(form); };

  form.AddCheckBox("CheckBox_post_EQ", kPage, "Post EQ").OnClick = [&form] { CheckBox_post_EQClick(form); };
  AddSliders(form, "post");
  form.AddButton("Button_postEQreset", kPage, "Reset").OnClick = [&form] { Button_postEQresetClick(form); };
}

}  // namespace fw
