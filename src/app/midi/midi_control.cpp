#include "app/midi/midi_control.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "app/form1.h"
#include "app/midi/midi_config_file.h"
#include "app/presets/preset_commands.h"
#include "core/message_port.h"

namespace fw {
namespace {

constexpr int kPressed = 64;
constexpr int kSamplesPerDelayStep = 260;  // the delay-time handler's factor

MidiAssignment TriggerOf(const MidiMessage& message) {
  MidiAssignment trigger;
  trigger.source = message.IsProgramChange() ? MidiSource::Program : MidiSource::Controller;
  trigger.number = message.data1;
  return trigger;
}

std::string Named(const std::string& name, int value) { return name + " " + std::to_string(value); }

// Moves the target as the user would; what it did, empty when nothing.
std::string Perform(TForm1& form, const MidiAssignment& assignment, int value) {
  const bool pressed = value >= kPressed;
  MidiControl& midi = MidiOf(form);
  if (assignment.target == kMidiToggle) {
    if (!pressed) return {};
    FormKeyDown(form);
    return "preset toggle";
  }
  if (assignment.target == kMidiTap) {
    if (!pressed) return {};
    const auto position = TapTempoClick(form);
    return position ? "tap, " + Named("ScrollBar_Delay_Time", *position) : "tap";
  }
  if (assignment.target == kMidiTuner) {
    if (!pressed) return {};
    if (midi.toggleTuner) midi.toggleTuner();
    return "tuner";
  }
  ui::Control* control = form.Find(assignment.target);
  // A disabled control does not answer the user either.
  if (control == nullptr || !control->Enabled()) return {};
  if (auto* bar = dynamic_cast<ui::ScrollBar*>(control)) {
    const int span = bar->Max() - bar->Min();
    bar->SetPosition(bar->Min() + static_cast<int>(std::lround(value * span / 127.0)));
    return Named(bar->Name(), bar->Position());
  }
  if (auto* box = dynamic_cast<ui::CheckBox*>(control)) {
    if (!assignment.follow && !pressed) return {};
    box->SetChecked(assignment.follow ? pressed : !box->Checked());
    return Named(box->Name(), box->Checked() ? 1 : 0);
  }
  if (auto* group = dynamic_cast<ui::RadioGroup*>(control)) {
    const int items = static_cast<int>(group->Items().size());
    if (!pressed || items == 0) return {};
    group->SetItemIndex((group->ItemIndex() + 1) % items);
    return Named(group->Name(), group->ItemIndex());
  }
  if (auto* button = dynamic_cast<ui::Button*>(control)) {
    if (!pressed) return {};
    button->Click();
    return button->Caption().empty() ? button->Name() : button->Caption();
  }
  return {};
}

// A slider takes a position, so only a control change can move it.
bool Learnable(const TForm1& form, const std::string& target, MidiSource source) {
  const MidiTargetKind kind = MidiTargetOf(form, target);
  return kind != MidiTargetKind::None && (source == MidiSource::Controller || kind != MidiTargetKind::Slider);
}

std::string ConfigText(const MidiControl& midi) {
  std::string problem;
  auto text = midi.configPath.empty() ? std::nullopt : ReadMidiConfigText(midi.configPath, problem);
  return text ? *text : DefaultMidiConfigText();
}

void Keep(TForm1& form, const std::string& text) {
  MidiControl& midi = MidiOf(form);
  if (!midi.configPath.empty()) WriteMidiConfigText(midi.configPath, text);
  const auto lookup = [&form](const std::string& name) { return MidiTargetOf(form, name); };
  midi.assignments = ParseMidiConfig(text, lookup, midi.configPath).assignments;
}

void Tell(MidiControl& midi, const std::string& text) {
  for (const auto& listener : midi.listeners) listener(text);
}

void DeliverInbox(TForm1& form, MidiInbox& inbox) {
  MidiMessage message;
  while (inbox.Pop(message)) HandleMidi(form, message);
}

}  // namespace

MidiControl::~MidiControl() {
  if (inbox_ != nullptr) inbox_->Detach();
  loop_.OnMessage(kMidiMessage, nullptr);
}

void MidiControl::Listen(TForm1& form, MidiInbox* inbox) {
  if (inbox_ != nullptr) inbox_->Detach();
  inbox_ = inbox;
  if (inbox == nullptr) return;
  loop_.OnMessage(kMidiMessage, [&form, inbox] { DeliverInbox(form, *inbox); });
  inbox->Attach(&loop_);
}

MidiControl& MidiOf(TForm1& form) {
  if (!form.midi) form.midi = std::make_unique<MidiControl>(form.loop);
  return *form.midi;
}

MidiTargetKind MidiTargetOf(const TForm1& form, const std::string& name) {
  if (name == kMidiToggle || name == kMidiTap || name == kMidiTuner) return MidiTargetKind::Action;
  if (name == kMidiLearnButton) return MidiTargetKind::None;
  const ui::Control* control = form.Find(name);
  if (dynamic_cast<const ui::ScrollBar*>(control) != nullptr) return MidiTargetKind::Slider;
  if (dynamic_cast<const ui::CheckBox*>(control) != nullptr) return MidiTargetKind::CheckBox;
  if (dynamic_cast<const ui::RadioGroup*>(control) != nullptr) return MidiTargetKind::RadioGroup;
  if (dynamic_cast<const ui::Button*>(control) != nullptr) return MidiTargetKind::Button;
  return MidiTargetKind::None;
}

void StartMidi(TForm1& form, MidiInbox* inbox, std::string configPath) {
  MidiControl& midi = MidiOf(form);
  midi.configPath = std::move(configPath);
  std::string problem;
  const auto text = ReadMidiConfigText(midi.configPath, problem);
  std::vector<std::string> problems;
  if (!problem.empty()) problems.push_back(problem + "; the default MIDI assignments apply");
  if (text) {
    const auto lookup = [&form](const std::string& name) { return MidiTargetOf(form, name); };
    MidiConfig config = ParseMidiConfig(*text, lookup, midi.configPath);
    midi.assignments = std::move(config.assignments);
    problems.insert(problems.end(), config.problems.begin(), config.problems.end());
  }
  if (!problems.empty()) {
    std::string message;
    for (const auto& line : problems) message += (message.empty() ? "" : "\n") + line;
    form.ShowMessage(message);
  }
  midi.Listen(form, inbox);
}

std::string HandleMidi(TForm1& form, const MidiMessage& message) {
  MidiControl& midi = MidiOf(form);
  const MidiAssignment trigger = TriggerOf(message);
  const int value = message.IsProgramChange() ? 127 : message.data2;
  std::string done;
  form.RunCommand([&] {
    if (midi.learning && Learnable(form, *midi.learning, trigger.source)) {
      MidiAssignment learned = trigger;
      learned.target = *midi.learning;
      midi.learning.reset();
      Keep(form, AssignInMidiConfigText(ConfigText(midi), learned));
      done = "learned " + FormatMidiAssignment(learned);
      return;
    }
    const auto it = std::find_if(midi.assignments.begin(), midi.assignments.end(),
                                 [&](const MidiAssignment& a) { return a.SameTrigger(trigger); });
    if (it == midi.assignments.end()) return;
    const MidiAssignment assignment = *it;  // an action may change the assignments
    const std::string result = Perform(form, assignment, value);
    if (result.empty()) return;
    done = FormatMidiTrigger(trigger) +
           (trigger.source == MidiSource::Controller ? " = " + std::to_string(value) : "") + " -> " + result;
  });
  if (!done.empty()) Tell(midi, done);
  return done;
}

std::optional<int> TapTempoClick(TForm1& form) {
  const auto interval = MidiOf(form).tapTempo.Tap(form.loop.GetClock().NowMs());
  if (!interval) return std::nullopt;
  ui::ScrollBar& time = form.Bar("ScrollBar_Delay_Time");
  const double samples = *interval / 1000.0 * form.engine.params.EngineSampleRate.load();
  const long steps = std::lround(samples / kSamplesPerDelayStep);
  time.SetPosition(static_cast<int>(std::clamp<long>(steps, time.Min(), time.Max())));
  return time.Position();
}

void LearnMidi(TForm1& form, const std::string& target) { MidiOf(form).learning = target; }

void BeginMidiLearn(TForm1& form) {
  MidiControl& midi = MidiOf(form);
  midi.choosingTarget = true;
  midi.learning.reset();
  Tell(midi, "learn: click the control a pedal should move");
}

bool ChooseMidiLearnTarget(TForm1& form, const std::string& name) {
  MidiControl& midi = MidiOf(form);
  if (!midi.choosingTarget || MidiTargetOf(form, name) == MidiTargetKind::None) return false;
  midi.choosingTarget = false;
  LearnMidi(form, name);
  Tell(midi, "learn: move a pedal for " + name);
  return true;
}

int ClearMidi(TForm1& form, const std::string& target) {
  int removed = 0;
  const std::string text = ClearInMidiConfigText(ConfigText(MidiOf(form)), target, removed);
  if (removed > 0) Keep(form, text);
  return removed;
}

}  // namespace fw
