#pragma once
// The preset button highlight: the active preset button's caption is red, the other
// three are black.
namespace fw {

class TForm1;

enum class PresetButton { HardRock, Solo, Clear, AllEffects };

void HighlightPresetButton(TForm1& form, PresetButton active);

}  // namespace fw
