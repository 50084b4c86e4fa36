// The output settings on the "Hardware" page that go to the output library: the
// maximum chorus delay and " Mono/Stereo ". The chorus itself is the library's.
#include "app/form1.h"
#include "app/pages/pages.h"
#include "app/pages/slider_readout.h"
#include "audio/output_library.h"

namespace fw {
namespace {

constexpr const char* kPage = "Hardware";

void ScrollBar_max_chorus_delayChange(TForm1& form) {
  if (form.platform.output == nullptr) return;
  form.platform.output->setup_max_chorus_delay(form.Bar("ScrollBar_max_chorus_delay").Position());
}

void RadioGroup_OUT_MONO_Click(TForm1& form) {
  if (form.platform.output == nullptr) return;
  const int index = form.Group("RadioGroup_OUT_MONO_").ItemIndex();
  if (index == 0) form.platform.output->setup_stereo(1);
  if (index == 1) form.platform.output->setup_stereo(2);
}

}  // namespace

void BuildChorusControls(TForm1& form) {
  form.AddRadioGroup("RadioGroup_OUT_MONO_", kPage, " Mono/Stereo ", {"Mono", "Stereo"}, 0).OnClick =
      [&form] { RadioGroup_OUT_MONO_Click(form); };
  form.AddLabel("Label_stereo_chorus", kPage, "stereo chorus");
  auto& depth = form.AddScrollBar("ScrollBar_max_chorus_delay", kPage, 200, 1000, 200);
  depth.OnChange = [&form] { ScrollBar_max_chorus_delayChange(form); };
  // The chorus runs at the engine rate.
  AttachReadout(form, depth, {ReadoutUnit::Milliseconds, [](int position, int rate) {
                                return SamplesToMs(position, rate);
                              }});
}

}  // namespace fw
