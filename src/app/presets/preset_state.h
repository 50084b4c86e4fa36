#pragma once
// The window-thread state of the preset commands, held in TForm1's presets slot for
// the whole run: the record buffer, the current preset file name and the keyboard
// toggle. Nothing here is reset after start-up.
#include <cstdint>
#include <string>

#include "presets/preset_record.h"

namespace fw {

class TForm1;

struct PresetState {
  PresetRecord record;               // zero-filled at start
  std::string currentFile;           // full path, set by the dialogs, load by name and Save As
  int toggleState = 0;               // keyboard toggle: 1 after loading the solo preset
  std::int64_t previousKeyTime = 0;  // ms since midnight of the last key-down event
};

// The form's preset state, created on first use.
PresetState& PresetsOf(TForm1& form);

}  // namespace fw
