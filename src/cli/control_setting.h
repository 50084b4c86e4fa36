#pragma once
// --set NAME=VALUE of fretwerk-cli: moves a window control by name as a user would.
#include <functional>
#include <stdexcept>
#include <string>

namespace fw {
class TForm1;
}

namespace fw::cli {

class SettingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A scroll bar's position, a check box's 0 or 1, a radio group's item index, an edit
// box's text; a button is clicked and VALUE ignored. A value outside the control's
// range is limited as the control does and reported through note. Throws
// SettingError for a malformed setting, an unknown control or a value of the wrong kind.
void ApplyControlSetting(TForm1& form, const std::string& setting,
                         const std::function<void(const std::string&)>& note);

}  // namespace fw::cli
