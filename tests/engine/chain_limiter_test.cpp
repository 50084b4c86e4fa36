// The output conversions: the wave-in overload message and latch, the direct
// driver's gain reduction, clamping to -32000..32000 and rounding to nearest.
#include <gtest/gtest.h>

#include "support/chain_rig.h"

namespace fw {
namespace {

using test::ChainRig;
using test::Silence;

// 32000.5 = 1 x 32000.5 exactly in float; likewise the other values below.
TEST(WaveInLimiter, ExactlyLimitPostsNothingAndHalfAboveOverloads) {
  ChainRig rig;
  rig.SetFile({32000}, 1.0f);
  EXPECT_EQ(rig.WaveIn(Silence(4))[0], 32000);
  rig.Pump();
  EXPECT_EQ(rig.p.OverloadLatch.load(), 0);
  EXPECT_EQ(rig.Volume(), 20);

  rig.SetFile({1}, 32000.5f);
  EXPECT_EQ(rig.WaveIn(Silence(1))[0], 32000);
  EXPECT_EQ(rig.p.OverloadLatch.load(), 1);
  rig.Pump();
  EXPECT_EQ(rig.Volume(), 19);  // the 0x1400 handler stepped the volume down
  EXPECT_EQ(rig.p.OverloadLatch.load(), 0);
  EXPECT_FLOAT_EQ(rig.p.OutputGain.load(), 1.0f / 33.0f);  // position 19: a = 82
}

TEST(WaveInLimiter, OneMessagePerRunAboveTheLimitAndReArmedBelow31000) {
  ChainRig rig;
  // Three runs above 32000: the second is separated by 31500 (no re-arm), the
  // third by 30999.5 (re-arms): two messages.
  rig.SetFile({33000 / 3, 11000, 10500, 11000, 10333, 11000, 11000, 0}, 3.0f);
  // = 33000, 33000, 31500, 33000, 30999, 33000, 33000, 0
  rig.WaveIn(Silence(8));
  rig.Pump();
  EXPECT_EQ(rig.Volume(), 18);  // one step per message
}

TEST(WaveInLimiter, LatchStaysSetUntilTheWindowAnswers) {
  ChainRig rig;
  rig.SetFile({32767, 32767}, 40.0f);  // far above the limit, also at lower volumes
  rig.WaveIn(Silence(2));
  rig.p.FileBlockCounter.store(0);
  rig.WaveIn(Silence(2));  // the first message is still outstanding
  rig.Pump();
  EXPECT_EQ(rig.Volume(), 19);
  rig.p.FileBlockCounter.store(0);
  rig.WaveIn(Silence(2));  // the handler cleared the latch: a new episode
  rig.Pump();
  EXPECT_EQ(rig.Volume(), 18);
}

TEST(WaveInLimiter, AtVolumeOneTheLatchIsNotCleared) {
  ChainRig rig;
  rig.form.Bar("ScrollBar_OutPut_Volume").SetPosition(1);
  rig.p.OutputGain.store(1.0f);  // as start-up leaves it, whatever the control shows
  rig.SetFile({32767}, 2.0f);
  rig.WaveIn(Silence(1));
  rig.Pump();
  EXPECT_EQ(rig.Volume(), 1);
  EXPECT_EQ(rig.p.OverloadLatch.load(), 1);
}

TEST(WaveInLimiter, NegativeOvershootIsClampedOnly) {
  ChainRig rig;
  rig.p.OverloadLatch.store(1);
  rig.SetFile({-20000}, 2.0f);
  EXPECT_EQ(rig.WaveIn(Silence(1))[0], -32000);
  rig.Pump();
  EXPECT_EQ(rig.Volume(), 20);
  EXPECT_EQ(rig.p.OverloadLatch.load(), 0);  // below 31000 re-arms
}

TEST(OutputConversion, RoundsToNearestWithTiesToEven) {
  ChainRig rig;
  rig.SetFile({1, 3, 5, -5, 7}, 0.5f);  // 0.5, 1.5, 2.5, -2.5, 3.5
  EXPECT_EQ(rig.WaveIn(Silence(5)), (std::vector<std::int16_t>{0, 2, 2, -2, 4}));
  test::ChainRig direct;
  direct.SetFile({1, 3, 5, -5, 7}, 0.5f);
  EXPECT_EQ(direct.Direct(Silence(5)), (std::vector<std::int16_t>{0, 2, 2, -2, 4}));
}

TEST(DirectLimiter, ExactlyLimitKeepsTheGainAndHalfAboveLowersIt) {
  ChainRig rig;
  rig.SetFile({32000}, 1.0f);
  EXPECT_EQ(rig.Direct(Silence(3))[0], 32000);
  EXPECT_EQ(rig.p.OutputGain.load(), 1.0f);

  rig.SetFile({1}, 32000.5f);
  EXPECT_EQ(rig.Direct(Silence(3))[0], 32000);
  EXPECT_EQ(rig.p.OutputGain.load(), 0.9f);
}

TEST(DirectLimiter, ThreeSamplesAboveLeave0729AndTheCutAppliesFromTheNextSample) {
  ChainRig rig;
  // 40000, 40000 x 0.9 = 36000, 40000 x 0.81 = 32400, then 40000 x 0.729 = 29160.
  rig.SetFile({20000, 20000, 20000, 20000}, 2.0f);
  const auto out = rig.Direct(Silence(4));
  EXPECT_NEAR(rig.p.OutputGain.load(), 0.729f, 1e-6f);
  EXPECT_EQ(out[0], 32000);
  EXPECT_EQ(out[2], 32000);
  EXPECT_NEAR(out[3], 29160, 1);  // 0.9f^3 in float, then x 40000: within one step
}

TEST(DirectLimiter, NegativeOvershootChangesNoGain) {
  ChainRig rig;
  rig.SetFile({-20000}, 2.0f);
  EXPECT_EQ(rig.Direct(Silence(1))[0], -32000);
  EXPECT_EQ(rig.p.OutputGain.load(), 1.0f);
}

TEST(DirectLimiter, RecordCleanOutputsTheDryInputAndLoudInputStillLowersTheGain) {
  ChainRig rig;
  rig.form.Box("CheckBox_record_clean").SetChecked(true);
  rig.p.InputGain.store(30.0f);  // the processed signal would be far louder
  const auto out = rig.Direct({32767, 1234, 32767, -32768, 32001});
  EXPECT_EQ(out, (std::vector<std::int16_t>{32000, 1234, 32000, -32000, 32000}));
  EXPECT_NEAR(rig.p.OutputGain.load(), 0.729f, 1e-6f);
}

TEST(RealtimeOutput, OutputGainAppliedOnceWithoutGainReduction) {
  ChainRig rig;
  rig.p.CardType.store(1);
  rig.p.RealtimeBlockLength.store(256);
  rig.p.OutputGain.store(2.0f);
  rig.SetFile({10000, 20000, -20000}, 1.0f);
  const auto out = rig.Realtime(Silence(256));
  EXPECT_EQ(out[0], 20000);
  EXPECT_EQ(out[1], 32000);
  EXPECT_EQ(out[2], -32000);
  EXPECT_EQ(rig.p.OutputGain.load(), 2.0f);
}

}  // namespace
}  // namespace fw
