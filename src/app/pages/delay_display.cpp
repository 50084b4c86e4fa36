#include "app/pages/delay_display.h"

#include "app/form1.h"
#include "app/pages/slider_readout.h"
#include "audio/live_delay.h"

namespace fw {

std::string DelayCaption(double milliseconds) {
  if (milliseconds <= 0.0) return {};
  return "In ->out delay: " + MillisecondsText(milliseconds);
}

void ShowLiveDelay(TForm1& form) {
  auto& label = form.Get<ui::Label>("Label_Delay");
  LiveDelay* delay = form.platform.delay;
  // Stop is enabled exactly while a mode runs.
  if (delay == nullptr || !form.Btn("Button_STOP_RT").Enabled()) {
    label.SetCaption({});
    return;
  }
  delay->PublishLatency();
  label.SetCaption(DelayCaption(delay->InputToOutputMs()));
}

}  // namespace fw
