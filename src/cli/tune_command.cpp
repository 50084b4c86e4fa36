// fretwerk-cli tune: the tuner without a window. With --in FILE it reads the file
// and prints one line per note (from one onset to the next): the note's steady
// reading, "A2 -7.5 cents 109.53 Hz". Without it, it listens to the live input
// through the same session as `run` (Start pressed, the output muted unless
// --no-mute) and keeps one line up to date until Ctrl-C, --seconds or the loss of
// the device.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/audio_choice.h"
#include "app/form1.h"
#include "app/interrupt_pipe.h"
#include "app/linux_system_services.h"
#include "app/realtime/realtime_control.h"
#include "app/session.h"
#include "app/session_end.h"
#include "app/tuner/meter_display.h"
#include "app/tuner/steady_pitch.h"
#include "app/tuner/tuner.h"
#include "cli/commands.h"
#include "cli/live_session.h"
#include "files/sound_file.h"

namespace fw::cli {
namespace {

struct TuneOptions {
  std::string in;
  std::string audio;
  double reference = kDefaultReferenceHz;
  int rawRate = 22050;
  double seconds = 0.0;
  bool noMute = false;
};

void PrintNote(const SteadyPitch& steady, double reference) {
  if (const std::optional<double> hz = steady.NoteMedian())
    std::cout << FormatReading(ReadNote(*hz, reference)) << std::endl;
}

int TuneFile(const TuneOptions& options) {
  MonoSound sound;
  try {
    sound = ReadMonoSound(options.in);
  } catch (const SoundFileError& error) {
    std::cerr << "fretwerk-cli tune: " << error.what() << "\n";
    return 1;
  }
  PitchTracker tracker(sound.sampleRate > 0 ? sound.sampleRate : options.rawRate);
  SteadyPitch steady;
  steady.SetWindowHops(tracker.WindowSize() / tracker.HopSize());
  std::vector<float> samples(sound.samples.begin(), sound.samples.end());
  tracker.Feed(samples.data(), static_cast<int>(samples.size()), [&](const PitchEstimate& estimate) {
    if (estimate.onset) PrintNote(steady, options.reference);
    steady.Add(estimate);
  });
  PrintNote(steady, options.reference);
  return 0;
}

// The live line: the reading (or "-") and the input's level.
std::string LiveLine(const Tuner& tuner, const MeterDisplay& input) {
  const std::optional<NoteReading> reading = tuner.Reading();
  char level[32];
  std::snprintf(level, sizeof level, "   in %.1f dBFS%s", static_cast<double>(input.HoldDb()),
                input.ClipLit() ? " CLIP" : "");
  return (reading ? FormatReading(*reading) : std::string("-")) + level;
}

int TuneLive(const TuneOptions& options) {
  AudioChoice audio;
  std::string error;
  if (!ChooseAudio(options.audio, "", audio, error)) {
    std::cerr << "fretwerk-cli tune: " << error << "\n";
    return 2;
  }
  InterruptPipe interrupt;
  LiveAudioChoice choice;
  choice.backend = audio.backend;
  SessionAudio opened;
  if (!opened.Open(audio, choice, ResolveProgramDirectory(CurrentProgramDirectoryInputs()), error)) {
    std::cerr << "fretwerk-cli tune: " << error << "\n";
    return 1;
  }
  LiveSession session(opened);
  if (!session.Activate("tune")) return 1;
  TForm1& form = *session.form;
  Engine& engine = *session.engine;
  Tuner tuner(engine.tuner);
  tuner.SetReference(options.reference);
  MeterDisplay input(engine.meters.input);
  engine.tuner.MutesOutput.store(options.noMute ? 0 : 1);
  std::cout << "fretwerk: " << opened.live->Device().BackendName() << " audio; tuning, press Ctrl-C to stop"
            << std::endl;
  form.Btn("Button_RUN_RT").Click();

  const auto begin = std::chrono::steady_clock::now();
  std::string lost;
  std::string shown;
  while (!session.loop.QuitRequested()) {
    session.loop.PumpOnce();
    if (!tuner.Running() || tuner.SampleRate() != engine.params.EngineSampleRate.load())
      tuner.Start(engine.params.EngineSampleRate.load());
    tuner.Poll();
    input.Poll(session.clock.NowMs());
    const std::string line = LiveLine(tuner, input);
    if (line != shown) {
      std::cout << "\r" << line << "\033[K" << std::flush;
      shown = line;
    }
    lost = opened.live->LostReason();
    if (!lost.empty()) break;
    if (options.seconds > 0 &&
        std::chrono::steady_clock::now() - begin >= std::chrono::duration<double>(options.seconds))
      break;
    if (interrupt.Wait(40)) break;
  }
  std::cout << std::endl;
  tuner.Stop();
  EndSession(form);
  if (lost.empty()) lost = opened.live->LostReason();
  if (!lost.empty()) EndSessionOnDeviceLoss(form, lost);
  session.loop.PumpOnce();
  Realtime(form).FormDestroy();
  if (!lost.empty()) {
    std::cerr << "fretwerk-cli tune: " << DeviceLostText(lost) << "\n";
    return 1;
  }
  return session.system.ended || session.dialogs.Errors() > 0 ? 1 : 0;
}

}  // namespace

void AddTuneCommand(CLI::App& app) {
  auto options = std::make_shared<TuneOptions>();
  CLI::App* tune = app.add_subcommand(
      "tune", "Tune the guitar: the live input until Ctrl-C, or one line per note of a sound file");
  tune->add_option("--in", options->in, "Read this sound file instead of the live input");
  tune->add_option("--reference", options->reference, "The pitch of A4 in Hz")
      ->check(CLI::Range(Tuner::kLowestReferenceHz, Tuner::kHighestReferenceHz));
  tune->add_option("--rate", options->rawRate, "Sample rate of a .raw file, which carries none")
      ->check(CLI::Range(8000, 192000));
  tune->add_option("--audio", options->audio, "Live: jack, alsa or virtual (default as for run)")
      ->check(CLI::IsMember({"jack", "alsa", "virtual"}));
  tune->add_option("--seconds", options->seconds, "Live: stop after this many seconds")
      ->check(CLI::PositiveNumber);
  tune->add_flag("--no-mute", options->noMute, "Live: let the effects be heard while tuning");
  tune->callback([options] {
    const int code = options->in.empty() ? TuneLive(*options) : TuneFile(*options);
    if (code != 0) throw CLI::RuntimeError(code);
  });
}

}  // namespace fw::cli
