// fretwerk-cli latency: a loop-back measurement through fretwerk itself. Clicks go
// through the effects with every stage off and the volume at unity, and the round trip
// comes back in samples and milliseconds. On JACK the command's own test ports feed
// fretwerk's input and listen to its output; on a sound card the user cables the
// output to the input; the virtual card plays the clicks in and keeps what comes out.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "app/form1.h"
#include "app/realtime/realtime_control.h"
#include "audio/click_probe.h"
#include "audio/click_tap.h"
#include "audio/linux/device_factory.h"
#include "audio/linux/jack_click_client.h"
#include "audio/linux/jack_device.h"
#include "cli/commands.h"
#include "cli/live_session.h"
#include "engine/engine.h"

namespace fw::cli {
namespace {

struct LatencyOptions {
  std::string audio;
  double seconds = 5.0;
};

constexpr int kVirtualRate = 44100;

// Nothing but the queue, the conversions and the gains between input and output.
void BypassEveryStage(EngineParams& p) {
  p.PreEqOn.store(0), p.PostEqOn.store(0), p.HiPassOn.store(0), p.HiPreOn.store(0);
  p.SoftDistortionOn.store(0.0f), p.Fvc1On.store(0), p.DistortionType.store(0), p.LowBoostOn.store(0);
  p.TubeOn.store(0), p.LowPass2On.store(0), p.FlangerOn.store(0), p.EchoOn.store(0), p.ReverbOn.store(0);
  p.OutputGain.store(1.0f);
}

ClickProbe ProbeFor(int rate) {
  ClickProbe probe;
  probe.interval = rate / 2;  // room for a round trip through a card's buffers
  probe.longest = rate / 4;
  return probe;
}

std::vector<float> ClickTrain(const ClickProbe& probe, std::size_t frames) {
  std::vector<float> v(frames);
  for (std::size_t k = 0; k < frames; ++k) v[k] = probe.At(static_cast<std::int64_t>(k));
  return v;
}

int Latency(const LatencyOptions& options) {
  LiveAudioChoice choice;
  choice.backend = options.audio;
  choice.connectJackPorts = false;  // only the command's test ports talk to fretwerk
  const auto virtualFrames = static_cast<std::size_t>(options.seconds * kVirtualRate);
  choice.virtualCard.inputSamples = ClickTrain(ProbeFor(kVirtualRate), virtualFrames);
  choice.virtualCard.loop = true;  // the clicks go on until the command stops the card
  choice.virtualCard.keepOutput = true;
  choice.virtualCard.rate = kVirtualRate;
  choice.virtualCard.pacing = VirtualCardOptions::Pacing::Fast;
  std::string error;
  SessionAudio opened;
  if (!opened.Open(AudioChoice{}, choice, "", error)) {
    std::cerr << "fretwerk-cli latency: " << error << "\n";
    return 1;
  }
  LiveAudio* live = opened.live.get();
  // Nobody is asked to cable a sound card that is not there.
  if (const std::string missing = live->MissingDevice(); !missing.empty()) {
    std::cerr << "fretwerk-cli latency: " << missing << "\n";
    return 1;
  }
  const std::string backend = live->Device().BackendName();
  if (backend == "alsa") {
    std::cout << "Connect the sound card's output to its input (line out to line in), turn the\n"
                 "speakers down, then press Enter."
              << std::endl;
    std::string line;
    std::getline(std::cin, line);
  }

  LiveSession session(opened);
  if (!session.Activate("latency")) return 1;
  TForm1& form = *session.form;
  ui::WindowLoop& loop = session.loop;
  form.Btn("Button_RUN_RT").Click();
  // Waits as long as the device makes progress, however slowly the session runs (a
  // loaded machine, a sanitizer), and gives up only when `progress` stalls.
  auto pumpWhileProgressing = [&](const std::function<bool()>& done,
                                  const std::function<std::int64_t()>& progress) {
    constexpr auto kStall = std::chrono::seconds(10);
    std::int64_t last = progress();
    auto lastMoved = std::chrono::steady_clock::now();
    while (!done() && !loop.QuitRequested()) {
      loop.PumpOnce();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      const auto now = std::chrono::steady_clock::now();
      if (const std::int64_t p = progress(); p != last) {
        last = p;
        lastMoved = now;
      } else if (now - lastMoved > kStall) {
        break;
      }
    }
    return done();
  };
  // The start sequence runs on the window timers this loop pumps; with nothing to
  // count, the wait ends after the stall time.
  if (!pumpWhileProgressing([&] { return form.Btn("Button_STOP_RT").Enabled(); },
                            [] { return std::int64_t{0}; })) {
    std::cerr << "fretwerk-cli latency: live processing did not start\n";
    return 1;
  }
  BypassEveryStage(session.engine->params);

  const int rate = live->DeviceRate();
  const ClickProbe probe = ProbeFor(backend == "virtual" ? kVirtualRate : rate);
  const auto frames = static_cast<std::int64_t>(options.seconds * rate);
  std::vector<int> delays;
  int delay = 0;
  int underruns = 0;
  double inToOut = 0.0;
  auto note = [&] {
    delay = live->Output().DelaySamples();
    underruns = live->Output().Underruns();
    inToOut = live->InputToOutputMs();
  };
  if (backend == "jack") {
    JackClickClient clicks(probe, static_cast<std::size_t>(frames));
    auto& device = dynamic_cast<JackDevice&>(live->Device());
    if (!clicks.Open("fretwerk-latency", error) ||
        !clicks.Connect(device.InputPortName(), device.LeftPortName())) {
      std::cerr << "fretwerk-cli latency: " << (error.empty() ? "Can not connect the test ports." : error)
                << "\n";
      form.Btn("Button_STOP_RT").Click();
      return 1;
    }
    clicks.Begin();
    pumpWhileProgressing([&] { return clicks.Recorded() >= frames; }, [&] { return clicks.Recorded(); });
    note();
    clicks.Close();
    delays = probe.Delays(clicks.Heard(), rate);
  } else if (backend == "virtual") {
    auto& card = dynamic_cast<VirtualSoundCard&>(live->Device());
    // The card plays the clicks from the frame the capture began, and the stages may
    // have heard some of them before the bypass: count only clicks sent after it.
    const std::int64_t bypassedAt = card.FramesRun();
    pumpWhileProgressing([&] { return card.FramesRun() >= bypassedAt + frames + probe.interval; },
                         [&] { return card.FramesRun(); });
    note();
    form.Btn("Button_STOP_RT").Click();
    const std::int64_t began = std::max<std::int64_t>(card.InputBeganAt(), 0);
    const std::vector<float> heard(
        card.playedLeft.begin() + std::min<std::int64_t>(began, std::ssize(card.playedLeft)),
        card.playedLeft.end());
    delays = probe.Delays(heard, bypassedAt - began + probe.interval);
  } else {
    ClickTap tap(probe, static_cast<std::size_t>(frames));
    live->AttachTap(&tap);
    pumpWhileProgressing([&] { return tap.Recorded() >= frames; }, [&] { return tap.Recorded(); });
    note();
    live->AttachTap(nullptr);
    delays = probe.Delays(tap.Heard(), rate);
  }
  if (form.Btn("Button_STOP_RT").Enabled()) form.Btn("Button_STOP_RT").Click();
  loop.PumpOnce();
  Realtime(form).FormDestroy();

  const int median = MedianDelay(delays);
  if (median < 0) {
    std::cerr << "fretwerk-cli latency: no click came back"
              << (backend == "alsa" ? " (is the output cabled to the input?)" : "") << "\n";
    return 1;
  }
  char line[200];
  std::snprintf(line, sizeof line, "round trip: %d samples, %.2f ms at %d Hz (%zu clicks)", median,
                1000.0 * median / rate, rate, delays.size());
  std::cout << line << std::endl;
  std::snprintf(line, sizeof line, "queue: %d samples, in->out %.1f ms; underruns %d, xruns %d", delay,
                inToOut, underruns, live->Xruns());
  std::cout << line << std::endl;
  return 0;
}

}  // namespace

void AddLatencyCommand(CLI::App& app) {
  auto options = std::make_shared<LatencyOptions>();
  CLI::App* latency = app.add_subcommand(
      "latency", "Measure the round trip of a click through the effects (every stage off)");
  latency
      ->add_option("--audio", options->audio,
                   "jack, alsa or virtual (default: FRETWERK_AUDIO, else JACK when a server runs, else ALSA)")
      ->check(CLI::IsMember({"jack", "alsa", "virtual"}));
  latency->add_option("--seconds", options->seconds, "Seconds of clicks (default 5)")
      ->check(CLI::PositiveNumber);
  latency->callback([options] {
    const int code = Latency(*options);
    if (code != 0) throw CLI::RuntimeError(code);
  });
}

}  // namespace fw::cli
