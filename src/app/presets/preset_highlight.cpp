#include "app/presets/preset_highlight.h"

#include <array>
#include <string_view>

#include "app/form1.h"

namespace fw {

void HighlightPresetButton(TForm1& form, PresetButton active) {
  constexpr std::array<std::pair<PresetButton, std::string_view>, 4> kButtons = {{
      {PresetButton::HardRock, "BitBtn_HardRock"},
      {PresetButton::Solo, "BitBtn_Solo"},
      {PresetButton::Clear, "BitBtn_Clear"},
      {PresetButton::AllEffects, "BitBtn_AllEffects"},
  }};
  for (const auto& [button, name] : kButtons) {
    auto* control = dynamic_cast<ui::Button*>(form.Find(name));
    if (control != nullptr) control->SetFontColor(button == active ? ui::Button::kRed : ui::Button::kBlack);
  }
}

}  // namespace fw
