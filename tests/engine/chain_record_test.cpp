// Record taps A and B: when they write, what they write, and the index steps with
// the guard zone at the end of the ring.
#include <gtest/gtest.h>

#include "support/chain_rig.h"

namespace fw {
namespace {

using test::ChainRig;
using test::Silence;

TEST(RecordTap, WritesOnlyAboveRingSize100000WhileActiveAndNotFull) {
  ChainRig atLimit;
  atLimit.StartRecording(100000);
  atLimit.SetFile({1234});
  atLimit.WaveIn(Silence(10));
  EXPECT_EQ(atLimit.Ring(0), ChainRig::kCanary);
  EXPECT_EQ(atLimit.p.RecordIndex.load(), 0);

  ChainRig above;
  above.StartRecording(100001);
  above.form.Box("CheckBox_Write_WAV_Live").SetChecked(true);  // tap B sees the file
  above.SetFile({1234});
  above.WaveIn(Silence(10));
  EXPECT_EQ(above.Ring(0), 1234);
  EXPECT_EQ(above.p.RecordIndex.load(), 10);

  above.p.RecordActive.store(0);
  above.p.FileBlockCounter.store(0);
  above.WaveIn(Silence(10));
  EXPECT_EQ(above.p.RecordIndex.load(), 10);
}

TEST(RecordTap, ReachingTheGuardZoneMarksTheRingFullAndZeroesIt) {
  const int size = 100001;
  ChainRig rig;
  rig.StartRecording(size);
  rig.form.Box("CheckBox_Write_WAV_Live").SetChecked(true);
  rig.SetFile(std::vector<std::int16_t>(300, 999));
  rig.p.RecordIndex.store(size - 5000 - 221);
  rig.Direct(Silence(220));
  EXPECT_EQ(rig.p.RecordFull.load(), 0);  // one short of the zone
  EXPECT_EQ(rig.p.RecordIndex.load(), size - 5001);
  EXPECT_EQ(rig.Ring(size - 5001), ChainRig::kCanary);

  rig.p.FileBlockCounter.store(0);
  rig.Direct(Silence(1));
  EXPECT_EQ(rig.p.RecordFull.load(), 3);
  EXPECT_EQ(rig.p.RecordIndex.load(), size - 5000);
  // The 5001 positions size-5000 .. size are zero; the sample before them and the
  // spare samples past them keep what they held.
  EXPECT_EQ(rig.Ring(size - 5001), 999);
  for (int i = size - 5000; i <= size; ++i) ASSERT_EQ(rig.Ring(i), 0) << i;
  EXPECT_EQ(rig.Ring(size + 1), ChainRig::kCanary);

  // Full: the next blocks write nothing and leave the index alone.
  rig.p.FileBlockCounter.store(0);
  rig.p.RecordIndex.store(10);
  rig.Direct(Silence(10));
  EXPECT_EQ(rig.p.RecordIndex.load(), 10);
  EXPECT_EQ(rig.Ring(10), ChainRig::kCanary);
}

TEST(RecordTap, ABlockCrossingIntoTheGuardZoneLeavesItZeroOnEveryRing) {
  const int size = 100001;
  ChainRig rig;
  for (int round = 0; round < 2; ++round) {  // the second ring is new to the taps
    rig.StartRecording(size);
    rig.form.Box("CheckBox_Write_WAV_Live").SetChecked(true);
    rig.SetFile(std::vector<std::int16_t>(600, 999));
    rig.Direct(Silence(220));
    EXPECT_EQ(rig.Ring(219), 999);
    rig.p.RecordIndex.store(size - 5100);
    rig.Direct(Silence(220));
    EXPECT_EQ(rig.Ring(size - 5001), 999);
    for (int i = size - 5000; i <= size; ++i) ASSERT_EQ(rig.Ring(i), 0) << i;
  }
}

TEST(RecordTap, AStrayIndexWritesNothingButStillFlagsTheRingFullAndRewindsIt) {
  const int size = 100001;
  ChainRig rig;
  rig.StartRecording(size);
  rig.p.RecordIndex.store(size - 10);  // as a recorder that cleared only RecordFull would leave it
  rig.SetFile(std::vector<std::int16_t>(220, 77));
  rig.form.Box("CheckBox_Write_WAV_Live").SetChecked(true);
  rig.WaveIn(Silence(220));
  EXPECT_EQ(rig.p.RecordIndex.load(), 0);
  EXPECT_EQ(rig.p.RecordFull.load(), 3);
  for (int i = size + 1; i < size + RecordRing::kSpare + ChainRig::kCanaries; ++i) {
    ASSERT_EQ(rig.Ring(i), ChainRig::kCanary) << "wrote past the ring at " << i;
  }
}

TEST(RecordTap, TapARecordsBeforeTheFileMixedAfterTheEffectsTapBAfterIt) {
  ChainRig a;
  a.StartRecording(200000);
  a.SetFile({5000, 5000});
  const auto out = a.WaveIn(Silence(2));
  EXPECT_EQ(out[0], 5000);
  EXPECT_EQ(a.Ring(0), 0);  // tap A: the live signal only

  ChainRig b;
  b.StartRecording(200000);
  b.form.Box("CheckBox_Write_WAV_Live").SetChecked(true);
  b.SetFile({5000, 5000});
  b.WaveIn(Silence(2));
  EXPECT_EQ(b.Ring(0), 5000);
}

TEST(RecordTap, TapsApplyTheOutputGainAndClampToTheOutputRange) {
  ChainRig rig;
  rig.StartRecording(200000);
  rig.form.Box("CheckBox_Write_WAV_Live").SetChecked(true);
  rig.p.OutputGain.store(2.0f);
  rig.SetFile({10000, 20000, -20000, 3});
  rig.WaveIn(Silence(4));
  EXPECT_EQ(rig.Ring(0), 20000);
  EXPECT_EQ(rig.Ring(1), 32000);
  EXPECT_EQ(rig.Ring(2), -32000);
  EXPECT_EQ(rig.Ring(3), 6);
}

TEST(RecordTap, DirectTapBCopiesTheLimitedBlock) {
  ChainRig rig;
  rig.StartRecording(200000);
  rig.form.Box("CheckBox_Write_WAV_Live").SetChecked(true);
  rig.SetFile({17000, 10000}, 2.0f);  // 34000 lowers the gain to 0.9; then 20000 x 0.9
  const auto out = rig.Direct(Silence(2));
  EXPECT_EQ(out, (std::vector<std::int16_t>{32000, 18000}));
  // A tap computing work x OutputGain after the block would record 30600 first.
  EXPECT_EQ(rig.Ring(0), 32000);
  EXPECT_EQ(rig.Ring(1), 18000);
}

TEST(RecordTap, RealtimeTapBTakesTheGainOnce) {
  ChainRig rig;
  rig.StartRecording(200000);
  rig.form.Box("CheckBox_Write_WAV_Live").SetChecked(true);
  rig.p.CardType.store(1);
  rig.p.RealtimeBlockLength.store(256);
  rig.p.OutputGain.store(2.0f);
  rig.SetFile({5000});
  rig.Realtime(Silence(256));
  EXPECT_EQ(rig.Ring(0), 10000);
  EXPECT_EQ(rig.p.RecordIndex.load(), 256);
}

TEST(RecordTap, RecordCleanRecordsTheDryInput) {
  for (const bool tapB : {false, true}) {
    ChainRig rig;
    rig.StartRecording(200000);
    rig.form.Box("CheckBox_record_clean").SetChecked(true);
    rig.form.Box("CheckBox_Write_WAV_Live").SetChecked(tapB);
    rig.p.InputGain.store(7.0f);
    rig.p.OutputGain.store(3.0f);
    rig.WaveIn({-1234, 32767});
    EXPECT_EQ(rig.Ring(0), -1234) << "tap B: " << tapB;
    EXPECT_EQ(rig.Ring(1), 32000) << "tap B: " << tapB;
  }
}

}  // namespace
}  // namespace fw
