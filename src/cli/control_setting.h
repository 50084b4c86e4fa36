#pragma once
// --set NAME=VALUE of fretwerk-cli: moves a window control by name as a user would.
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fw {
class TForm1;
namespace ui {
class Control;
}
}  // namespace fw

namespace fw::cli {

class SettingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What --set moves: scroll bars, check boxes, radio groups, buttons and edit boxes.
bool IsSettable(const ui::Control& control);
// The control of that name in any letter case; nullptr when there is none.
ui::Control* FindSettableControl(const TForm1& form, const std::string& name);
std::vector<std::string> SettableControlNames(const TForm1& form);

// A scroll bar's position, a check box's 0 or 1, a radio group's item index, an edit
// box's text; a button is clicked and VALUE ignored. A value outside the control's
// range is limited as the control does and reported through note. Throws
// SettingError for a malformed setting, an unknown control (naming the three nearest
// names) or a value of the wrong kind. The name may be in any letter case.
void ApplyControlSetting(TForm1& form, const std::string& setting,
                         const std::function<void(const std::string&)>& note);

}  // namespace fw::cli
