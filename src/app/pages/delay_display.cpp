#include "app/pages/delay_display.h"

#include <cstdio>

#include "app/form1.h"
#include "audio/live_delay.h"

namespace fw {

std::string DelayCaption(double milliseconds) {
  if (milliseconds <= 0.0) return {};
  char text[48];
  std::snprintf(text, sizeof text, "In ->out delay: %.1f ms", milliseconds);
  return text;
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
