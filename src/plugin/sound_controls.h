#pragma once
// The window controls that change the sound, one plugin port each: every control the
// preset record stores, then those it does not store that the chain still hears.
// Controls that drive devices, files or the window are left out.
#include <string>
#include <vector>

namespace fw {
class TForm1;
}

namespace fw::plugin {

enum class SoundControlKind { Bar, Box, Group };

struct SoundControl {
  std::string symbol;  // the control's name, as fretwerk-cli --set takes it
  SoundControlKind kind;
  int min;
  int max;
  int initial;                     // the position after start-up
  std::vector<std::string> items;  // a radio group's captions
  bool stored;                     // kept in the preset record
};

// The controls the preset record does not store but the chain hears.
extern const std::vector<std::string> kUnstoredSoundControls;

// Every sound control of a started form, in port order.
std::vector<SoundControl> SoundControls(const TForm1& form);

// A port value as the control takes it: rounded and limited to its range (a check
// box is on above 0). A value that is not a number gives the fallback.
int ControlValueOf(const SoundControl& control, float portValue, int fallback) noexcept;

}  // namespace fw::plugin
