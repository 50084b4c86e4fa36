// The three time effects as the direct driver runs them: switched by their words,
// state carried from block to block, nothing allocated or locked.
#include <gtest/gtest.h>

#include <vector>

#include "engine/chain.h"
#include "support/realtime_guard.h"

namespace fw {
namespace {

TEST(TimeEffectsInChain, RunOnlyWhenSwitchedOnAndAllocateNothing) {
  auto engine = MakeEngine();
  EngineParams& p = engine->params;
  engine->flanger.Reset();
  engine->echo.SetTaps(0.45f, 0.4f);
  engine->echo.EchoGain.store(0.6f);
  p.FlangerOn.store(0);
  p.EchoOn.store(0);
  p.ReverbOn.store(0);
  std::vector<std::int16_t> block(184, 1000);

  ProcessDirectBlock(*engine, 184, block.data());
  EXPECT_EQ(engine->flanger.writePosition.load(), 301);
  EXPECT_EQ(engine->echo.writePosition, 0);
  EXPECT_EQ(engine->reverb.AllPassPosition(0), 0);

  p.FlangerOn.store(1);
  p.EchoOn.store(1);
  p.ReverbOn.store(1);
  engine->reverb.ReverbDelay2.store(240);
  constexpr int kBlocks = 3000;
  test::ResetRealtimeViolations();
  {
    test::RealtimeScope scope;
    for (int b = 0; b < kBlocks; ++b) ProcessDirectBlock(*engine, 184, block.data());
  }
  EXPECT_EQ(test::RealtimeViolations(), 0) << test::FirstRealtimeViolation();
  constexpr int kSamples = kBlocks * 184;
  EXPECT_EQ(engine->flanger.writePosition.load(), (301 + kSamples) % Flanger::kRingLength);
  EXPECT_EQ(engine->echo.writePosition, kSamples % Echo::kRingLength);
  EXPECT_EQ(engine->echo.sweepCounter.load(), kSamples);
  EXPECT_EQ(engine->reverb.AllPassPosition(0), kSamples % 2203);
  EXPECT_EQ(engine->reverb.SecondPosition(), kSamples % 240);
}

}  // namespace
}  // namespace fw
