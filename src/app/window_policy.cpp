#include "app/window_policy.h"

#include "app/form1.h"
#include "app/realtime/realtime_control.h"
#include "app/startup/form_activate.h"

namespace fw {

void WindowPolicy::RunActivation() {
  activated_ = true;
  backFromOwnWindow_ = false;
  FormActivate(form_);
}

void WindowPolicy::Activated() {
  if (!activated_ || backFromOwnWindow_) RunActivation();
}

void WindowPolicy::Deactivated(FocusTaker taker) {
  if (taker != FocusTaker::OwnWindow) return;
  backFromOwnWindow_ = true;
  Realtime(form_).FormDeactivate();
}

void WindowPolicy::ShownWithoutActivation() {
  if (!activated_) RunActivation();
}

void CloseMainWindow(TForm1& form) {
  Realtime(form).FormCloseQuery();
  Realtime(form).FormClose();
}

}  // namespace fw
