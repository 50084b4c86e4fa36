// Cost of one device callback of 128 frames in library mode: gathering, the chain with
// every stage on, the output queue and the stereo chorus. The counter "load" is the
// share of a 128-frame period at 44.1 kHz that the callback takes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "app/session.h"
#include "audio/live_audio.h"
#include "audio/virtual/virtual_sound_card.h"
#include "support/stage_setup.h"
#include "ui/clock.h"

namespace {

constexpr int kPeriod = 128;

void LiveCallback(benchmark::State& state) {
  fw::VirtualCardOptions options;
  options.pacing = fw::VirtualCardOptions::Pacing::Manual;
  options.rate = 44100;
  fw::LiveAudio live(std::make_unique<fw::VirtualSoundCard>(options), nullptr);
  fw::ui::FakeClock clock;
  fw::Session session{clock};
  fw::TForm1& form = session.BuildForm(fw::SessionPlatform({}, &live), false);
  fw::ui::WindowLoop& loop = session.loop;
  form.Group("RadioGroup_NameOfSC").SetItemIndex(2);
  form.Btn("Button_RUN_RT").Click();
  loop.AdvanceBy(500, clock);
  fw::EngineParams& p = session.engine->params;
  fw::test::SetEveryStage(p, 1);
  session.engine->elliptic.SelectBrightness(0);  // as start-up does; the bench stops before it
  live.Output().setup_stereo(2);
  live.Output().setup_max_chorus_delay(1000);

  std::vector<float> in(kPeriod), left(kPeriod), right(kPeriod);
  float phase = 0.0f;
  for (auto _ : state) {
    for (float& v : in) {
      v = 0.3f * std::sin(phase);
      phase += 0.03f;
    }
    live.Process(in.data(), left.data(), right.data(), kPeriod);
    benchmark::DoNotOptimize(left.data());
  }
  const double periodSeconds = kPeriod / 44100.0;
  state.counters["load"] = benchmark::Counter(static_cast<double>(state.iterations()) * periodSeconds,
                                              benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  form.Btn("Button_STOP_RT").Click();
}
BENCHMARK(LiveCallback);

}  // namespace
