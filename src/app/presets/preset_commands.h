#pragma once
// The one-click preset commands, the Save As commands and the keyboard toggle.
// Each runs on the window thread; a failed load by name throws IoError and ends the
// command at that step (the button handlers run them through TForm1::RunCommand).
#include <string_view>

namespace fw {

class TForm1;

inline constexpr std::string_view kHardRockPreset = "/dist1.pre";
inline constexpr std::string_view kCleanPreset = "/clear.pre";
inline constexpr std::string_view kAllEffectsPreset = "/all.pre";
inline constexpr std::string_view kSoloPreset = "/solo1.pre";
inline constexpr std::string_view kHeavyPreset = "/hard.pre";

void BitBtn_HardRockClick(TForm1& form);    // "Distortion 1"
void BitBtn_SoloClick(TForm1& form);        // "Distortion 2"
void BitBtn_ClearClick(TForm1& form);       // "Clean"
void BitBtn_AllEffectsClick(TForm1& form);  // "Default"

// Save As: the fixed file in the program directory is overwritten without asking.
void SavePresetAs(TForm1& form, std::string_view name);

// The keyboard toggle: switches between the solo and the heavy preset unless the
// previous key-down came at most 250 ms before. Throws IoError like the loads.
void KeyboardToggle(TForm1& form);

// The main window's key-down event, whatever the key: the keyboard toggle as one
// command (a failed load is shown). Views call it before the focused control sees
// the key.
void FormKeyDown(TForm1& form);

}  // namespace fw
