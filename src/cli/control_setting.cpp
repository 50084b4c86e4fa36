#include "cli/control_setting.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>

#include "app/form1.h"
#include "core/nearest_names.h"
#include "presets/preset_text.h"

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

bool IsSettable(const ui::Control& control) {
  switch (control.Kind()) {
    case ui::ControlKind::ScrollBar:
    case ui::ControlKind::CheckBox:
    case ui::ControlKind::RadioGroup:
    case ui::ControlKind::Button:
    case ui::ControlKind::Edit:
      return true;
    default:
      return false;
  }
}

ui::Control* FindSettableControl(const TForm1& form, const std::string& name) {
  if (ui::Control* exact = form.Find(name); exact != nullptr && IsSettable(*exact)) return exact;
  for (ui::Control* control : form.Controls()) {
    if (IsSettable(*control) && SameNameIgnoringCase(control->Name(), name)) return control;
  }
  return nullptr;
}

std::vector<std::string> SettableControlNames(const TForm1& form) {
  std::vector<std::string> names;
  for (const ui::Control* control : form.Controls()) {
    if (IsSettable(*control)) names.push_back(control->Name());
  }
  return names;
}

void ApplyControlSetting(TForm1& form, const std::string& setting,
                         const std::function<void(const std::string&)>& note) {
  const auto equals = setting.find('=');
  if (equals == std::string::npos || equals == 0)
    throw SettingError("--set needs NAME=VALUE, got " + setting);
  const std::string typed = setting.substr(0, equals);
  const std::string text = setting.substr(equals + 1);
  ui::Control* control = FindSettableControl(form, typed);
  if (control == nullptr)
    throw SettingError("unknown control " + typed + DidYouMean(typed, SettableControlNames(form)));
  const std::string& name = control->Name();
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
  const auto noteLimited = [&](int limited, int min, int max) {
    if (limited != *value) note(LimitedNote(name, text, limited, min, max));
  };
  if (auto* bar = dynamic_cast<ui::ScrollBar*>(control)) {
    const int limited = std::clamp(LimitInt(*value), bar->Min(), bar->Max());
    noteLimited(limited, bar->Min(), bar->Max());
    bar->SetPosition(limited);
  } else if (auto* box = dynamic_cast<ui::CheckBox*>(control)) {
    const long long limited = std::clamp<long long>(*value, 0, 1);
    noteLimited(static_cast<int>(limited), 0, 1);
    box->SetChecked(limited == 1);
  } else if (auto* group = dynamic_cast<ui::RadioGroup*>(control)) {
    const int last = static_cast<int>(group->Items().size()) - 1;
    const int limited = std::clamp(LimitInt(*value), -1, last);
    noteLimited(limited, -1, last);
    group->SetItemIndex(limited);
  } else {
    throw SettingError("--set " + name + ": this control has no value to set");
  }
}

}  // namespace fw::cli
