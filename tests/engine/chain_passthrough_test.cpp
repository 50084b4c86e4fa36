// With every switch off only the always-on stages act between the input gain and
// the output gain: FVC3, the fixed section (wave-in only), FVC2 and the elliptic
// filter, in each driver's order. A second engine runs exactly those stages by
// hand on the same samples; both must agree sample for sample.
#include <gtest/gtest.h>

#include "core/rounding.h"
#include "support/chain_rig.h"

namespace fw {
namespace {

using test::ChainRig;

std::vector<std::int16_t> Signal(int n) {
  std::vector<std::int16_t> s(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(((i * 1237) % 6001) - 3000);
  return s;
}

// The reference: input gains, the always-on stages, output gain, clamp and round.
std::vector<std::int16_t> Reference(const std::vector<std::int16_t>& in, bool fixedSection,
                                    bool fvc2BeforeElliptic, float inputGain, float liveFactor,
                                    float outputGain) {
  auto engine = MakeEngine();
  const int n = static_cast<int>(in.size());
  float* w = engine->buffers.work;
  for (int i = 0; i < n; ++i)
    w[i] = static_cast<float>(in[static_cast<std::size_t>(i)]) * inputGain * liveFactor;
  engine->filters.Fvc3Filter(w, n);
  if (fixedSection) engine->filters.FixedSection(w, n);
  if (fvc2BeforeElliptic) engine->filters.Fvc2Stage(w, n);
  engine->elliptic.Process(w, n);
  std::vector<std::int16_t> out(in.size());
  for (int i = 0; i < n; ++i) out[static_cast<std::size_t>(i)] = ClampRound16(w[i] * outputGain);
  return out;
}

TEST(EverySwitchOff, OnlyTheAlwaysOnStagesActInEachDriver) {
  const auto in = Signal(220);
  {
    ChainRig rig;
    rig.AllSwitchesOff();
    rig.p.InputGain.store(2.0f);
    rig.p.OutputGain.store(0.5f);
    EXPECT_EQ(rig.WaveIn(in), Reference(in, true, true, 2.0f, 1.001f, 0.5f)) << "wave-in";
  }
  {
    ChainRig rig;
    rig.AllSwitchesOff();
    rig.p.InputGain.store(2.0f);
    rig.p.OutputGain.store(0.5f);
    EXPECT_EQ(rig.Direct(in), Reference(in, false, true, 2.0f, 1.001f, 0.5f)) << "direct";
  }
}

TEST(EverySwitchOff, RealtimeMonoBlock) {
  const auto in = Signal(256);
  ChainRig rig;
  rig.AllSwitchesOff();
  rig.p.CardType.store(1);
  rig.p.RealtimeBlockLength.store(256);
  rig.p.InputGain.store(2.0f);
  // The realtime driver multiplies by (InputGain x LiveInputFactor) and clamps after rounding.
  auto engine = MakeEngine();
  float* w = engine->buffers.work;
  const float factor = 2.0f * 1.001f;
  for (int i = 0; i < 256; ++i) w[i] = static_cast<float>(in[static_cast<std::size_t>(i)]) * factor;
  engine->filters.Fvc3Filter(w, 256);
  engine->filters.Fvc2Stage(w, 256);
  engine->elliptic.Process(w, 256);
  const auto out = rig.Realtime(in);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(out[static_cast<std::size_t>(i)], ClampInt(RoundToInt(w[i]), -32000, 32000)) << i;
  }
}

}  // namespace
}  // namespace fw
