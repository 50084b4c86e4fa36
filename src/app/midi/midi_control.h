#pragma once
// MIDI on the window thread: each program or control change from the device's inbox
// acts through its assignment exactly as the user's click or slider move would, and
// tells its listeners what it did ("program 2 -> Clean").
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/midi/midi_assignments.h"
#include "app/midi/tap_tempo.h"
#include "audio/midi_inbox.h"

namespace fw {

class TForm1;
namespace ui {
class WindowLoop;
}

class MidiControl {
 public:
  explicit MidiControl(ui::WindowLoop& loop) : loop_(loop) {}
  // Stops listening: no message is delivered to a form that is gone.
  ~MidiControl();
  MidiControl(const MidiControl&) = delete;
  MidiControl& operator=(const MidiControl&) = delete;

  void Listen(TForm1& form, MidiInbox* inbox);

  std::vector<MidiAssignment> assignments = DefaultMidiAssignments();
  std::string configPath;  // empty: learned assignments are not kept
  TapTempo tapTempo;
  std::optional<std::string> learning;  // the target waiting for a pedal
  bool choosingTarget = false;          // "MIDI Learn" waits for the user to click a control
  // Each action's text, for the status bar or the console.
  std::vector<std::function<void(const std::string&)>> listeners;
  // The tuner's switch; nothing happens without one.
  std::function<void()> toggleTuner;

 private:
  ui::WindowLoop& loop_;
  MidiInbox* inbox_ = nullptr;
};

// The form's MIDI state, created on first use.
MidiControl& MidiOf(TForm1& form);

// What a name in midi.conf stands for on this form.
MidiTargetKind MidiTargetOf(const TForm1& form, const std::string& name);

// Reads the assignments from `configPath` (a message names each line that could not
// be read; the defaults apply without a file) and acts on what `inbox` receives
// (nullptr: no MIDI input).
void StartMidi(TForm1& form, MidiInbox* inbox, std::string configPath);

// What one message does; the action's text, empty when it did nothing.
std::string HandleMidi(TForm1& form, const MidiMessage& message);

// A tap for the echo, from the "Tap" button or a pedal: from the second tap on, the
// delay time moves to the mean interval; the position it moved to, if it did.
std::optional<int> TapTempoClick(TForm1& form);

// The next control change, or a program change when `target` is pressed rather than
// moved, is assigned to `target` and kept in the configuration file.
void LearnMidi(TForm1& form, const std::string& target);

// "MIDI Learn" in the window: the next control the user clicks is the one a pedal
// will move.
void BeginMidiLearn(TForm1& form);
// The view's answer while the user chooses: true, and waiting for a pedal, when
// `name` is a control MIDI can drive; false leaves the click to the control.
bool ChooseMidiLearnTarget(TForm1& form, const std::string& name);

// Removes every assignment of `target` from the file and the form; how many there were.
int ClearMidi(TForm1& form, const std::string& target);

}  // namespace fw
