#pragma once
// What MIDI does: each program change or control change number is assigned to a
// control of the window (by its --set name) or to one of the actions below. The
// assignments are the user's, kept apart from presets in midi.conf, a plain text
// file of lines such as "cc 7 ScrollBar_OutPut_Volume".
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

enum class MidiSource { Program, Controller };

// What a target name stands for; None: nothing the assignments can drive.
enum class MidiTargetKind { None, Slider, CheckBox, RadioGroup, Button, Action };

inline constexpr std::string_view kMidiToggle = "toggle";  // the preset toggle key
inline constexpr std::string_view kMidiTap = "tap";        // tap tempo for the echo
inline constexpr std::string_view kMidiTuner = "tuner";    // the tuner on and off
// The window's "MIDI Learn" button, which no pedal can press.
inline constexpr std::string_view kMidiLearnButton = "Button_MidiLearn";

struct MidiAssignment {
  MidiSource source = MidiSource::Controller;
  int number = 0;  // 0..127
  std::string target;
  // A check box follows the value (on at 64 and above) instead of toggling.
  bool follow = false;

  bool SameTrigger(const MidiAssignment& other) const {
    return source == other.source && number == other.number;
  }
  bool operator==(const MidiAssignment&) const = default;
};

// Program changes 0..3 press the four preset buttons; CC 64 toggles presets, CC 7
// moves the output volume, CC 11 the echo's gain, CC 66 taps, CC 67 is the tuner.
std::vector<MidiAssignment> DefaultMidiAssignments();

// "cc 7 ScrollBar_OutPut_Volume", "program 2 BitBtn_Clear", "cc 80 CheckBox_X follow".
std::string FormatMidiAssignment(const MidiAssignment& assignment);
// "program 2", "cc 7".
std::string FormatMidiTrigger(const MidiAssignment& assignment);

using MidiTargetLookup = std::function<MidiTargetKind(const std::string&)>;

struct MidiConfig {
  std::vector<MidiAssignment> assignments;
  // One per line that could not be read: "<file> line <n>: <reason>".
  std::vector<std::string> problems;
};

// Reads midi.conf's text. A line that cannot be read is named in `problems` and
// skipped; where its trigger could still be read, that trigger's default applies.
// A later line for the same trigger replaces an earlier one.
MidiConfig ParseMidiConfig(std::string_view text, const MidiTargetLookup& lookup,
                           const std::string& fileName);

// The text written when there is no file yet: a short guide and the defaults.
std::string DefaultMidiConfigText();

// Edits keep comments and lines they do not understand as they stand.
// Replaces the line of the assignment's trigger, or adds one at the end.
std::string AssignInMidiConfigText(std::string_view text, const MidiAssignment& assignment);
// Removes every line assigned to `target`; `removed` counts them.
std::string ClearInMidiConfigText(std::string_view text, const std::string& target, int& removed);

}  // namespace fw
