#pragma once
#include "ui/control.h"

namespace fw::ui {

class CheckBox : public Control {
 public:
  CheckBox(std::string name, std::string caption, bool checked = false)
      : Control(std::move(name), ControlKind::CheckBox), checked_(checked) {
    SetCaption(std::move(caption));
  }

  bool Checked() const { return checked_; }
  // Fires OnClick only when the state changes, as a click by the user does.
  void SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    Changed();
    if (OnClick) OnClick();
  }
  // The user's click toggles the box.
  void Click() { SetChecked(!checked_); }

  Handler OnClick;

 private:
  bool checked_;
};

}  // namespace fw::ui
