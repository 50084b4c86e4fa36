#pragma once
// Save and load of the preset record through the window's controls.
#include <string>
#include <string_view>

namespace fw {

class TForm1;
struct StoredControl;

inline constexpr const char* kPresetFilter = "Fretwerk Preset|*.pre";

// ask: show the "Save Effects Preset" dialog first (a cancel changes nothing);
// otherwise the current preset file name is already set. A file that cannot be
// written is reported with its I/O error.
void SavePreset(TForm1& form, bool ask);

// Shows "Load Effects Preset"; a file that cannot be read is reported and nothing is
// applied. A cancel changes nothing.
void LoadPresetWithDialog(TForm1& form);

// name starts with a separator ("/clear.pre") and is taken from the program
// directory. Every file step is checked: a failure throws IoError.
void LoadPresetByName(TForm1& form, std::string_view name);

// Reads and applies the file at a full path, with every step checked like load
// by name (fretwerk-cli's --preset).
void LoadPresetFromPath(TForm1& form, const std::string& path);

// The program directory (with its trailing separator) followed by name.
std::string ProgramFilePath(const TForm1& form, std::string_view name);

// The value a stored control shows now, as the record keeps it.
int StoredControlValue(const TForm1& form, const StoredControl& stored);

// Copies every stored control and both tube words into the record buffer.
void FillPresetRecord(TForm1& form);

// The voicing step, then every stored control from the record buffer in table order.
void ApplyPresetRecord(TForm1& form);

}  // namespace fw
