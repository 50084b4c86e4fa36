// Every switch on: each driver must run the stages in its own order. A second
// engine, designed the same way, runs the stages by hand in the order each driver
// lists them; the work buffers must agree to the last bit. Filters that commute in
// exact arithmetic do not commute in float, so a swapped pair shows up here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "support/chain_rig.h"

namespace fw {
namespace {

using test::ChainRig;

enum class Stage {
  PreEq,
  HiPass,
  HiPre,
  Fvc3,
  Soft,
  Fvc1,
  Shaper,
  Tube,
  Fixed,
  Fvc2,
  PostEq,
  Echo,
  Elliptic,
  LowPass2,
  Flanger,
  Reverb
};

const std::vector<Stage> kWaveInOrder = {Stage::PreEq,    Stage::HiPass,   Stage::HiPre,   Stage::Fvc3,
                                         Stage::Soft,     Stage::Fvc1,     Stage::Shaper,  Stage::Tube,
                                         Stage::Fixed,    Stage::Fvc2,     Stage::PostEq,  Stage::Echo,
                                         Stage::Elliptic, Stage::LowPass2, Stage::Flanger, Stage::Reverb};
const std::vector<Stage> kDirectOrder = {Stage::PreEq,   Stage::HiPass, Stage::HiPre,    Stage::Fvc3,
                                         Stage::Soft,    Stage::Fvc1,   Stage::Shaper,   Stage::Tube,
                                         Stage::PostEq,  Stage::Fvc2,   Stage::Elliptic, Stage::LowPass2,
                                         Stage::Flanger, Stage::Echo,   Stage::Reverb};
const std::vector<Stage> kRealtimeOrder = {
    Stage::HiPass, Stage::HiPre,    Stage::Fvc3,     Stage::Soft,    Stage::Fvc1, Stage::Shaper, Stage::Tube,
    Stage::Fvc2,   Stage::Elliptic, Stage::LowPass2, Stage::Flanger, Stage::Echo, Stage::Reverb};

// The same designs and settings on every engine of a comparison.
void Prepare(Engine& e) {
  test::DesignStages(e);
  EngineParams& p = e.params;
  test::SetEveryStage(p, 1);
  e.echo.EchoDelay.store(300);
  e.reverb.ReverbDelay2.store(200);
  e.reverb.ReverbAllPassGain.store(0.75f);
  p.LiveInputFactor.store(1.0f);
}

void RunStage(Engine& e, Stage stage, float* w, int n) {
  switch (stage) {
    case Stage::PreEq:
      e.eq.PreEqualiser(w, n);
      break;
    case Stage::HiPass:
      e.filters.FixedHighPass(w, n);
      break;
    case Stage::HiPre:
      e.filters.HiPreSectionA(w, n), e.filters.HiPreSectionB(w, n);
      break;
    case Stage::Fvc3:
      e.filters.Fvc3Filter(w, n);
      break;
    case Stage::Soft:
      e.distortion.SoftDistortion(w, n, 1.0f);
      break;
    case Stage::Fvc1:
      e.filters.Fvc1Filter(w, e.lowBoost.Side(), n);
      break;
    case Stage::Shaper: {
      // The low-frequency boost: distort the side signal, then the main one, and mix.
      float* side = e.lowBoost.Side();
      std::vector<float> save(w, w + n);
      std::copy(side, side + n, w);
      e.distortion.Waveshaper(w, n);
      std::copy(w, w + n, side);
      std::copy(save.begin(), save.end(), w);
      e.distortion.Waveshaper(w, n);
      for (int i = 0; i < n; ++i) w[i] = side[i] * e.lowBoost.LowBoostMix.load() * 0.0005f + w[i];
      break;
    }
    case Stage::Tube:
      e.tube.FoldBank(w, n), e.tube.VoiceBank(w, n);
      break;
    case Stage::Fixed:
      e.filters.FixedSection(w, n);
      break;
    case Stage::Fvc2:
      e.filters.Fvc2Stage(w, n);
      break;
    case Stage::PostEq:
      e.eq.PostEqualiser(w, n);
      break;
    case Stage::Echo:
      e.echo.EchoDelayBlock(w, n, e.echo.EchoDelay.load());
      break;
    case Stage::Elliptic:
      e.elliptic.Process(w, n);
      break;
    case Stage::LowPass2:
      e.filters.LowPass2(w, n);
      break;
    case Stage::Flanger:
      e.flanger.FlangerBlock(w, n);
      break;
    case Stage::Reverb:
      e.reverb.Process(w, n);
      break;
  }
}

std::vector<std::int16_t> Block(int n, int seed) {
  std::vector<std::int16_t> s(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(((i + seed) * 7919) % 12001 - 6000);
  }
  return s;
}

// Runs `blocks` blocks through the driver and by hand; compares the work buffers.
void Compare(const std::vector<Stage>& order, int n, const std::function<void(ChainRig&, int)>& driver) {
  ChainRig rig;
  Prepare(rig.engine);
  auto reference = MakeEngine();
  Prepare(*reference);
  float* w = reference->buffers.work;
  for (int block = 0; block < 8; ++block) {
    driver(rig, block);
    const auto in = Block(n, block);
    for (int i = 0; i < n; ++i) w[i] = static_cast<float>(in[static_cast<std::size_t>(i)]);
    for (const Stage stage : order) RunStage(*reference, stage, w, n);
    float peak = 0.0f;
    for (int i = 0; i < n; ++i) peak = std::max(peak, std::abs(w[i]));
    ASSERT_GT(peak, 100.0f) << "the stages silenced the signal: the comparison would prove nothing";
    for (int i = 0; i < n; ++i) {
      ASSERT_EQ(rig.engine.buffers.work[i], w[i]) << "block " << block << ", sample " << i;
    }
  }
}

TEST(StageOrder, WaveInDriver) {
  Compare(kWaveInOrder, 220, [](ChainRig& rig, int block) { rig.WaveIn(Block(220, block)); });
}

TEST(StageOrder, DirectDriver) {
  Compare(kDirectOrder, 184, [](ChainRig& rig, int block) { rig.Direct(Block(184, block)); });
}

TEST(StageOrder, RealtimeDriver) {
  // 256 mono samples; an output gain of 1 leaves the work buffer as the stages left it.
  Compare(kRealtimeOrder, 256, [](ChainRig& rig, int block) {
    rig.p.RealtimeBlockLength.store(256);
    rig.Realtime(Block(256, block));
  });
}

}  // namespace
}  // namespace fw
