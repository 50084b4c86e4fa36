// fretwerk-cli midi list | learn NAME | clear NAME: the MIDI assignments in midi.conf.
// learn joins the live device (JACK or ALSA), waits for a pedal and keeps it.
#include <chrono>
#include <iostream>
#include <memory>
#include <string>

#include "app/form1.h"
#include "app/interrupt_pipe.h"
#include "app/midi/midi_config_file.h"
#include "app/midi/midi_control.h"
#include "audio/linux/device_factory.h"
#include "cli/commands.h"
#include "cli/console_services.h"
#include "cli/live_session.h"
#include "engine/engine.h"
#include "ui/clock.h"
#include "ui/window_loop.h"

namespace fw::cli {
namespace {

struct LearnOptions {
  std::string name;
  std::string audio;
  double seconds = 0.0;
};

// The window's controls without a device: enough to read and edit the assignments.
struct OfflineForm {
  OfflineForm() {
    Platform platform;
    platform.dialogs = &dialogs;
    form = std::make_unique<TForm1>(*engine, loop, platform);
    StartMidi(*form, nullptr, MidiConfigPath());
  }
  std::unique_ptr<Engine> engine = MakeEngine();
  ui::SteadyClock clock;
  ui::WindowLoop loop{clock};
  ConsoleDialogs dialogs;
  std::unique_ptr<TForm1> form;
};

bool Known(const TForm1& form, const std::string& name, const char* command) {
  if (MidiTargetOf(form, name) != MidiTargetKind::None) return true;
  std::cerr << "fretwerk-cli midi " << command << ": no control or action named " << name << "\n";
  return false;
}

int List() {
  OfflineForm offline;
  for (const auto& assignment : MidiOf(*offline.form).assignments)
    std::cout << FormatMidiAssignment(assignment) << "\n";
  return 0;
}

int Clear(const std::string& name) {
  OfflineForm offline;
  if (!Known(*offline.form, name, "clear")) return 2;
  int removed = 0;
  offline.form->RunCommand([&] { removed = ClearMidi(*offline.form, name); });
  if (offline.dialogs.Errors() > 0) return 1;
  std::cout << "midi: " << name << ": " << removed << " assignment" << (removed == 1 ? "" : "s")
            << " cleared\n";
  return 0;
}

int Learn(const LearnOptions& options) {
  LiveAudioChoice choice;
  choice.backend = options.audio;
  choice.connectJackPorts = false;
  std::string error;
  SessionAudio opened;
  if (!opened.Open(AudioChoice{}, choice, "", error)) {
    std::cerr << "fretwerk-cli midi learn: " << error << "\n";
    return 1;
  }
  LiveAudio* live = opened.live.get();
  LiveSession session(opened);
  TForm1& form = *session.form;
  if (!Known(form, options.name, "learn")) return 2;
  StartMidi(form, &live->Midi(), MidiConfigPath());
  bool learned = false;
  MidiOf(form).listeners.push_back([&learned](const std::string& text) {
    std::cout << "midi: " << text << std::endl;
    learned = learned || text.rfind("learned ", 0) == 0;
  });
  if (!live->Acquire(44100, error)) {  // JACK runs at the server's rate anyway
    std::cerr << "fretwerk-cli midi learn: " << error << "\n";
    return 1;
  }
  std::cout << "midi learn: move a pedal for " << options.name << " (Ctrl-C to give up)" << std::endl;
  LearnMidi(form, options.name);
  InterruptPipe interrupt;
  const auto begin = std::chrono::steady_clock::now();
  while (!learned && session.dialogs.Errors() == 0) {
    session.loop.PumpOnce();
    if (interrupt.Wait(5)) break;
    if (options.seconds > 0 &&
        std::chrono::steady_clock::now() - begin >= std::chrono::duration<double>(options.seconds))
      break;
  }
  live->Release();
  if (!learned) std::cerr << "fretwerk-cli midi learn: no pedal moved; nothing changed\n";
  return learned ? 0 : 1;
}

void Finish(int code) {
  if (code != 0) throw CLI::RuntimeError(code);
}

}  // namespace

void AddMidiCommands(CLI::App& app) {
  CLI::App* midi = app.add_subcommand("midi", "MIDI assignments: list, learn or clear them");
  midi->require_subcommand(1);
  midi->add_subcommand("list", "Print the MIDI assignments")->callback([] { Finish(List()); });

  auto learn = std::make_shared<LearnOptions>();
  CLI::App* learnCommand =
      midi->add_subcommand("learn", "Assign the next pedal moved on the MIDI input to a control or action");
  learnCommand->add_option("NAME", learn->name, "A control's --set name, or toggle, tap or tuner")
      ->required();
  learnCommand
      ->add_option("--audio", learn->audio, "jack or alsa (default: JACK when a server runs, else ALSA)")
      ->check(CLI::IsMember({"jack", "alsa"}));
  learnCommand->add_option("--seconds", learn->seconds, "Give up after this many seconds");
  learnCommand->callback([learn] { Finish(Learn(*learn)); });

  auto clearName = std::make_shared<std::string>();
  CLI::App* clear = midi->add_subcommand("clear", "Remove every MIDI assignment of a control or action");
  clear->add_option("NAME", *clearName, "A control's --set name, or toggle, tap or tuner")->required();
  clear->callback([clearName] { Finish(Clear(*clearName)); });
}

}  // namespace fw::cli
