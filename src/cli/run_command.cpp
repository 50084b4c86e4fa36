// fretwerk-cli run: a headless live session. Builds the window's logic over a live
// device, presses Start, prints the levels once a second and ends the session (Stop,
// and the Record page's Stop for a running take) on Ctrl-C, SIGTERM or SIGHUP, after
// --seconds, when a once-played input file has ended, when the device is lost, or
// when standard output can no longer be written (a reader that went away).
// Prints a line for each MIDI action.
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/form1.h"
#include "app/interrupt_pipe.h"
#include "app/linux_system_services.h"
#include "app/midi/midi_config_file.h"
#include "app/midi/midi_control.h"
#include "app/presets/preset_operations.h"
#include "app/realtime/realtime_control.h"
#include "app/session.h"
#include "app/session_end.h"
#include "app/startup/headless_start.h"
#include "app/system_services.h"
#include "audio/linux/device_factory.h"
#include "cli/command_line_take.h"
#include "cli/commands.h"
#include "cli/control_setting.h"
#include "cli/live_session.h"
#include "engine/engine.h"
#include "ui/clock.h"
#include "ui/dialogs.h"
#include "ui/window_loop.h"

namespace fw::cli {
namespace {

struct RunOptions {
  std::string audio;
  std::string legacyCard;
  std::string in;
  std::string out;
  std::string preset;
  std::string record;
  bool recordClean = false;
  double seconds = 0.0;
  bool once = false;
  bool fast = false;
  bool noConnect = false;
  int latencySteps = 0;
  std::vector<std::string> sets;
};

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

std::string Decibels(float peak) {
  if (peak <= 0.0f) return "  -inf";
  char text[16];
  std::snprintf(text, sizeof text, "%6.1f", 20.0 * std::log10(static_cast<double>(peak)));
  return text;
}

// Why the last print to standard output failed (a reader that went away: EPIPE), or
// empty. Asked right after printing, while errno still says why.
std::string StandardOutputFailure() {
  if (std::cout) return {};
  return std::string("cannot write standard output: ") + std::strerror(errno != 0 ? errno : EIO);
}

// --set NAME=VALUE, as a user would move the control.
bool ApplySetting(TForm1& form, const std::string& setting) {
  try {
    ApplyControlSetting(form, setting, [](const std::string& text) {
      std::cerr << "fretwerk-cli run: note: " << text << "\n";
    });
  } catch (const SettingError& error) {
    std::cerr << "fretwerk-cli run: " << error.what() << "\n";
    return false;
  }
  return true;
}

// The latency buttons, pressed as a user would once the mode runs; an interrupt stops
// the presses.
void PressLatencyButtons(TForm1& form, int steps, InterruptPipe& interrupt) {
  ui::Button& button = form.Btn(steps > 0 ? "BitBtn_latPlus" : "BitBtn_LatMinus");
  const long long presses = std::abs(static_cast<long long>(steps));
  for (long long i = 0; i < presses; ++i) {
    if (i % 4096 == 0 && interrupt.Pending()) return;
    button.Click();
  }
}

// --preset, as a user loads it after pressing Start.
bool LoadChosenPreset(TForm1& form, const std::string& preset) {
  if (preset.empty()) return true;
  if (const std::string warning = PresetArgumentWarning(form, preset); !warning.empty())
    std::cerr << "fretwerk-cli run: warning: " << warning << "\n";
  bool loaded = false;
  form.RunCommand([&] {
    LoadPresetFromPath(form, ResolvePresetArgument(form, preset));
    loaded = true;
  });
  if (!loaded) std::cerr << "fretwerk-cli run: the preset " << preset << " could not be loaded\n";
  return loaded;
}

int Run(const RunOptions& options) {
  AudioChoice audio;
  std::string error;
  if (!ChooseAudio(options.audio, options.legacyCard, audio, error)) {
    std::cerr << "fretwerk-cli run: " << error << "\n";
    return 2;
  }
  // The legacy modes keep time with the card's own clock and their 2 ms ticks; a card
  // running faster than real time outruns the ticks.
  if (audio.legacy && options.fast) {
    std::cerr << "fretwerk-cli run: --fast cannot be used with the legacy audio modes: they run in real "
                 "time only\n";
    return 2;
  }
  if (const std::string problem = CommandLineTake::NameProblem(options.record);
      !options.record.empty() && !problem.empty()) {
    std::cerr << "fretwerk-cli run: " << problem << "\n";
    return 2;
  }
  if (options.fast && !options.once && options.seconds <= 0) {
    std::cerr << "fretwerk-cli run: --fast plays faster than real time and never ends by itself: give --once "
                 "or --seconds N (seconds of audio)\n";
    return 2;
  }
  InterruptPipe interrupt;
  LiveAudioChoice choice;
  choice.backend = audio.backend;
  if (choice.backend.empty() && !options.in.empty()) choice.backend = "virtual";
  choice.connectJackPorts = !options.noConnect;
  choice.virtualCard.inputFile = options.in;
  choice.virtualCard.outputFile = options.out;
  choice.virtualCard.loop = !options.once;
  choice.virtualCard.pacing =
      options.fast ? VirtualCardOptions::Pacing::Fast : VirtualCardOptions::Pacing::RealTime;
  // Faster than real time, --seconds counts seconds of audio, not of the clock.
  if (options.fast) choice.virtualCard.secondsLimit = options.seconds;
  if (choice.backend == "virtual" && options.in.empty() && options.out.empty())
    std::cerr << "fretwerk-cli run: note: the virtual sound card has neither --in nor --out: it plays "
                 "silence to nowhere\n";
  SessionAudio opened;
  if (!opened.Open(audio, choice, ResolveProgramDirectory(CurrentProgramDirectoryInputs()), error)) {
    std::cerr << "fretwerk-cli run: " << error << "\n";
    return 1;
  }
  LiveAudio* live = opened.live.get();
  LegacyPc* legacy = opened.legacy.get();
  auto* card = dynamic_cast<VirtualSoundCard*>(&live->Device());
  // In this system's terms first; the window's own message follows when Start fails.
  if (const std::string missing = live->MissingDevice(); !missing.empty())
    std::cerr << "fretwerk-cli run: " << missing << "\n";
  if (card != nullptr && !card->OpenOutput(error)) {
    std::cerr << "fretwerk-cli run: " << error << "\n";
    return 1;
  }

  LiveSession session(opened);
  if (!session.Activate("run")) return 1;
  TForm1& form = *session.form;
  ui::WindowLoop& loop = session.loop;
  StartMidi(form, &live->Midi(), MidiConfigPath());
  MidiOf(form).listeners.push_back(
      [](const std::string& text) { std::cout << "midi: " << text << std::endl; });

  std::cout << "fretwerk: " << live->Device().BackendName() << " audio; press Ctrl-C to stop" << std::endl;
  // Start clicks a preset button of its own: --preset and --set come after it.
  form.Btn("Button_RUN_RT").Click();
  if (!LoadChosenPreset(form, options.preset)) return 1;
  for (const auto& setting : options.sets) {
    if (!ApplySetting(form, setting)) {
      EndSession(form);
      return 2;
    }
  }
  CommandLineTake take;
  if (!options.record.empty()) {
    if (!take.Start(form, options.record, options.recordClean)) {
      EndSession(form);
      return 1;
    }
    std::cout << "recording: " << take.File() << std::endl;
  }
  // On the legacy PC the user checks Optimisation within the half second Start
  // waits, so the start sequence tries the direct modes.
  if (legacy != nullptr && form.engine.params.CardType.load() == 2)
    form.Box("CheckBox_UseWaveIn").SetChecked(true);

  const auto begin = std::chrono::steady_clock::now();
  // With --fast the card itself stops after --seconds of audio.
  const auto timeIsUp = [&] {
    return options.seconds > 0 && !options.fast &&
           std::chrono::steady_clock::now() - begin >= std::chrono::duration<double>(options.seconds);
  };
  // A start that waits for the card (the DMA detection takes about half a minute)
  // gives up when the session ends meanwhile.
  Realtime(form).startCancelled = [&] {
    return timeIsUp() || interrupt.Pending() || (card != nullptr && card->InputFinished());
  };
  auto nextLine = begin + std::chrono::seconds(1);
  std::string shownStatus;
  std::string shownCaption;
  // From the moment the mode runs: the share of a core the program and the ticks use.
  auto runningSince = std::chrono::steady_clock::now();
  double runningCpu = ProcessCpuSeconds();
  double runningTick = 0.0;
  const auto showStatus = [&] {
    const std::string caption = form.Btn("Button_RUN_RT").Caption();
    const std::string status = form.Status().SimpleText();
    if (caption != shownCaption || status != shownStatus) {
      std::cout << "status: " << caption << (status.empty() ? "" : "  " + StatusWithUnits(form, status))
                << std::endl;
      shownCaption = caption;
      shownStatus = status;
    }
  };
  bool stepped = false;
  std::string lost;
  std::string outputFailure;
  while (!loop.QuitRequested()) {
    loop.PumpOnce();
    showStatus();
    outputFailure = StandardOutputFailure();
    if (!outputFailure.empty()) break;
    if (!stepped && form.Btn("Button_STOP_RT").Enabled()) {
      stepped = true;
      runningSince = std::chrono::steady_clock::now();
      runningCpu = ProcessCpuSeconds();
      if (legacy != nullptr) runningTick = static_cast<double>(legacy->Timer().BusyNanoseconds()) * 1e-9;
      PressLatencyButtons(form, options.latencySteps, interrupt);
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= nextLine) {
      nextLine += std::chrono::seconds(1);
      live->PublishLatency();
      char delay[64];
      std::snprintf(delay, sizeof delay, "   delay %d samples, in->out %.1f ms",
                    live->Output().DelaySamples(), live->InputToOutputMs());
      std::cout << "in " << Decibels(live->TakeInputPeak()) << " dBFS   out "
                << Decibels(live->TakeOutputPeak()) << " dBFS   xruns " << live->Xruns()
                << " (late callbacks " << live->LateCallbacks() << ")" << delay << std::endl;
      outputFailure = StandardOutputFailure();
      if (!outputFailure.empty()) break;
    }
    lost = live->LostReason();
    if (!lost.empty()) break;
    if (timeIsUp()) break;
    if (card != nullptr && card->InputFinished()) break;
    if (interrupt.Wait(5)) break;
  }
  Realtime(form).startCancelled = nullptr;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  const double busy = static_cast<double>(live->BusyNanoseconds()) * 1e-9;
  const int delay = live->Output().DelaySamples();
  const int rate = std::max(live->Output().EngineRate(), 1);
  if (legacy != nullptr) {
    const double tick = static_cast<double>(legacy->Timer().BusyNanoseconds()) * 1e-9 - runningTick;
    const double cpu = ProcessCpuSeconds() - runningCpu;
    const double runningSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - runningSince).count();
    std::printf("legacy: %s, hardware report \"%s\", tick busy %.2f%% of a core, program %.1f%% of a core\n",
                form.Status().SimpleText().c_str(), Realtime(form).hardwareReport.c_str(),
                runningSeconds > 0 ? 100.0 * tick / runningSeconds : 0.0,
                runningSeconds > 0 ? 100.0 * cpu / runningSeconds : 0.0);
  }
  const double inToOut = live->InputToOutputMs();
  EndSession(form);
  // Closing the device may fail too (an output file that cannot be completed).
  if (lost.empty()) lost = live->LostReason();
  if (!lost.empty()) EndSessionOnDeviceLoss(form, lost);
  loop.PumpOnce();
  showStatus();
  Realtime(form).FormDestroy();
  bool takeFailed = false;
  if (!options.record.empty()) {
    if (const std::string problem = take.Finish(); !problem.empty()) {
      std::cerr << "fretwerk-cli run: " << problem << "\n";
      takeFailed = true;
    } else {
      std::cout << "take: " << take.File() << std::endl;
    }
  }
  char summary[280];
  std::snprintf(summary, sizeof summary,
                "stopped: xruns %d, late callbacks %d, underruns %d, delay %d samples (%.2f ms), in->out "
                "%.1f ms, audio thread busy %.2f%%",
                live->Xruns(), live->LateCallbacks(), live->Output().Underruns(), delay,
                1000.0 * delay / rate, inToOut, seconds > 0 ? 100.0 * busy / seconds : 0.0);
  std::cout << summary << std::endl;
  if (!lost.empty()) {
    std::cerr << "fretwerk-cli run: " << DeviceLostText(lost) << "\n";
    return 1;
  }
  if (!outputFailure.empty()) {
    std::cerr << "fretwerk-cli run: " << outputFailure << "\n";
    return 1;
  }
  if (takeFailed) return 1;
  return session.system.ended || session.dialogs.Errors() > 0 ? 1 : 0;
}

CLI::Validator FinitePositive() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        double value = 0.0;
        if (!CLI::detail::lexical_cast(text, value) || !std::isfinite(value) || value <= 0.0)
          return "a positive number of seconds is needed, got " + text;
        return {};
      },
      "POSITIVE");
}

}  // namespace

void AddRunCommand(CLI::App& app) {
  auto options = std::make_shared<RunOptions>();
  CLI::App* run = app.add_subcommand("run", "Play live through the effects until Ctrl-C or --seconds");
  run->add_option(
         "--audio", options->audio,
         "jack, alsa, virtual or legacy (default: FRETWERK_AUDIO, else JACK when a server runs, else ALSA)")
      ->check(CLI::IsMember({"jack", "alsa", "virtual", "legacy"}));
  run->add_option("--legacy-card", options->legacyCard,
                  "The simulated legacy PC's card: isa (DMA-direct), pci (library mode) or pci-common "
                  "(common-buffer mode)")
      ->check(CLI::IsMember({"isa", "pci", "pci-common"}));
  run->add_option("--in", options->in, "Input sound file of the virtual sound card")
      ->check(CLI::ExistingFile);
  run->add_option("--out", options->out, "Output sound file (WAV) of the virtual sound card");
  run->add_option("--preset", options->preset,
                  "Preset to load after Start: a .pre file, or the name of a fixed preset");
  run->add_option("--seconds", options->seconds, "Stop after this many seconds (of audio with --fast)")
      ->check(FinitePositive());
  run->add_option("--set", options->sets, "Set a control after Start: NAME=VALUE (repeatable)");
  run->add_option("--record", options->record,
                  "Record what the player hears into FILE (.au or .wav); an existing name gets a number");
  run->add_flag("--record-clean", options->recordClean, "With --record: record the dry input instead");
  run->add_flag("--once", options->once, "Play the input file once, then stop");
  run->add_flag("--fast", options->fast,
                "Run the virtual sound card as fast as possible (needs --once or --seconds)");
  run->add_flag("--no-connect", options->noConnect, "Leave the JACK ports unconnected");
  run->add_option("--latency-steps", options->latencySteps,
                  "Press the latency buttons this many times once running (negative: Decrease)");
  run->callback([options] {
    const int code = Run(*options);
    if (code != 0) throw CLI::RuntimeError(code);
  });
}

}  // namespace fw::cli
