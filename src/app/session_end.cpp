#include "app/session_end.h"

#include "app/form1.h"

namespace fw {

void EndSession(TForm1& form) {
  if (auto* stop = dynamic_cast<ui::Button*>(form.Find("Button_STOP_RT")); stop != nullptr && stop->Enabled())
    stop->Click();
  if (auto* stopRecord = dynamic_cast<ui::Button*>(form.Find("BitBtn_Stop_R"));
      stopRecord != nullptr && stopRecord->Enabled())
    stopRecord->Click();
}

void EndSessionOnDeviceLoss(TForm1& form, const std::string& reason) {
  EndSession(form);
  form.Status().SetSimpleText(DeviceLostText(reason));
}

std::string DeviceLostText(const std::string& reason) { return "audio device lost: " + reason; }

}  // namespace fw
