#include <gtest/gtest.h>

#include "app/startup/main_unit.h"
#include "audio/chain_io.h"
#include "engine/engine.h"

namespace fw {
namespace {

TEST(MainUnit, SetsTheEngineStartValues) {
  auto engine = MakeEngine();
  ChainIo io;
  io.waveIn.running.store(1);
  EngineParams& p = engine->params;
  // Disturb what the initialisation must set.
  p.PostEqOn.store(0);
  p.TubeOn.store(1);
  p.EngineSampleRate.store(44100);
  engine->lowBoost.LowBoostMix.store(1.0f);
  p.LiveInputFactor.store(0.001f);
  p.WavFileGain.store(0.0f);
  engine->distortion.ShaperKneeIn.store(400);
  engine->distortion.ShaperLevel.store(0.1f);
  engine->filters.HiPreCoefficient.store(0.5f);
  InitialiseMainUnit(*engine, io);
  EXPECT_EQ(io.waveIn.running.load(), 0);
  EXPECT_EQ(p.PreEqOn.load(), 0);
  EXPECT_EQ(p.PostEqOn.load(), 1);
  EXPECT_EQ(p.TubeOn.load(), 0);
  EXPECT_EQ(p.RealtimeBlockLength.load(), 128);
  EXPECT_EQ(p.EngineSampleRate.load(), 22050);
  EXPECT_EQ(p.WaveInBlockLength.load(), 220);
  EXPECT_FLOAT_EQ(engine->lowBoost.LowBoostMix.load(), 4000.0f);
  EXPECT_FLOAT_EQ(p.LiveInputFactor.load(), 1.001f);
  EXPECT_FLOAT_EQ(p.WavFileGain.load(), 1.0f);
  EXPECT_EQ(engine->distortion.ShaperKneeIn.load(), 1000);
  EXPECT_EQ(engine->distortion.ShaperKneeOut.load(), 10000);
  EXPECT_FLOAT_EQ(engine->distortion.ShaperLevel.load(), 0.49f);
  EXPECT_FLOAT_EQ(engine->distortion.ShaperSmooth.load(), 0.1f);
  EXPECT_FLOAT_EQ(engine->filters.HiPreCoefficient.load(), 0.16666667f);
  EXPECT_EQ(p.OverloadLatch.load(), 0);
}

}  // namespace
}  // namespace fw
