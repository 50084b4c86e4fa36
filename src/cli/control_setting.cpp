#include "cli/control_setting.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>

#include "app/form1.h"

namespace fw::cli {
namespace {

// An integer too large for any control saturates, so it is limited to the control's
// range like any other value outside it.
std::optional<long long> ParseInteger(const std::string& text) {
  long long value = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (text.empty() || result.ptr != end) return std::nullopt;
  if (result.ec == std::errc::result_out_of_range) {
    return text.front() == '-' ? std::numeric_limits<long long>::min()
                               : std::numeric_limits<long long>::max();
  }
  if (result.ec != std::errc{}) return std::nullopt;
  return value;
}

int LimitInt(long long value) {
  return static_cast<int>(
      std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

void ApplyControlSetting(TForm1& form, const std::string& setting,
                         const std::function<void(const std::string&)>& note) {
  const auto equals = setting.find('=');
  if (equals == std::string::npos || equals == 0)
    throw SettingError("--set needs NAME=VALUE, got " + setting);
  const std::string name = setting.substr(0, equals);
  const std::string text = setting.substr(equals + 1);
  ui::Control* control = form.Find(name);
  if (control == nullptr) throw SettingError("unknown control " + name);

  if (auto* button = dynamic_cast<ui::Button*>(control)) {
    form.RunCommand([button] { button->Click(); });
    return;
  }
  if (auto* edit = dynamic_cast<ui::Edit*>(control)) {
    edit->SetText(text);
    return;
  }
  const std::optional<long long> value = ParseInteger(text);
  if (!value) throw SettingError("--set " + name + ": " + text + " is not an integer");
  const auto noteLimited = [&](int limited) {
    if (limited != *value)
      note(name + "=" + text + " is outside the control's range; set to " + std::to_string(limited));
  };
  if (auto* bar = dynamic_cast<ui::ScrollBar*>(control)) {
    const int limited = std::clamp(LimitInt(*value), bar->Min(), bar->Max());
    noteLimited(limited);
    bar->SetPosition(limited);
  } else if (auto* box = dynamic_cast<ui::CheckBox*>(control)) {
    if (*value != 0 && *value != 1) throw SettingError("--set " + name + ": a check box takes 0 or 1");
    box->SetChecked(*value == 1);
  } else if (auto* group = dynamic_cast<ui::RadioGroup*>(control)) {
    const int limited = std::clamp(LimitInt(*value), -1, static_cast<int>(group->Items().size()) - 1);
    noteLimited(limited);
    group->SetItemIndex(limited);
  } else {
    throw SettingError("--set " + name + ": this control has no value to set");
  }
}

}  // namespace fw::cli
