// The MIDI path's cost on the audio thread: one control change handed to the live
// stream (the inbox's ring and the posted message that wakes the window thread). The
// counter "load" is the share of a 128-frame period at 44.1 kHz that a burst of 16
// changes takes, more than a pedal sends in one period.
#include <benchmark/benchmark.h>

#include <memory>

#include "audio/live_audio.h"
#include "audio/virtual/virtual_sound_card.h"
#include "ui/clock.h"
#include "ui/window_loop.h"

namespace {

constexpr int kBurst = 16;
constexpr double kPeriodSeconds = 128.0 / 44100.0;

void MidiBurst(benchmark::State& state) {
  fw::LiveAudio live(std::make_unique<fw::VirtualSoundCard>(fw::VirtualCardOptions{}), nullptr);
  fw::ui::FakeClock clock;
  fw::ui::WindowLoop loop{clock};
  live.Midi().Attach(&loop);
  unsigned char change[] = {0xB0, 7, 0};
  fw::MidiMessage message;
  for (auto _ : state) {
    for (int i = 0; i < kBurst; ++i) {
      change[2] = static_cast<unsigned char>(i);
      live.MidiReceived(change, sizeof change);
    }
    state.PauseTiming();  // the window thread's turn
    while (live.Midi().Pop(message)) {
    }
    loop.PumpOnce();
    state.ResumeTiming();
  }
  live.Midi().Detach();
  state.counters["load"] = benchmark::Counter(static_cast<double>(state.iterations()) * kPeriodSeconds,
                                              benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(MidiBurst);

}  // namespace
