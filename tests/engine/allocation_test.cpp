// The audio side never allocates or locks: every driver with every switch on runs
// thousands of blocks inside a RealtimeScope, recording and file playback included;
// then the realtime thread runs while the window thread moves controls (TSan build).
#include <gtest/gtest.h>

#include <thread>

#include "app/tuner/tuner.h"
#include "support/chain_rig.h"
#include "support/realtime_guard.h"

namespace fw {
namespace {

using test::ChainRig;

void Busy(ChainRig& rig) {
  test::DesignStages(rig.engine);
  rig.AllSwitchesOn();
  rig.StartRecording(400000);
  rig.p.RecordIndex.store(0);
  std::vector<std::int16_t> file(2000);
  for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<std::int16_t>(i * 31 % 20000 - 10000);
  rig.SetFile(file, 2.0f);
  rig.engine.echo.EchoDelay.store(6500);
  rig.engine.reverb.ReverbDelay2.store(1500);
  rig.engine.tuner.On.store(1);  // the input's copy for the tuner, and its mute
}

std::vector<std::int16_t> Loud(int n) {
  std::vector<std::int16_t> s(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i % 2 ? 32767 : -32768);
  return s;
}

TEST(Allocation, NoDriverAllocatesOrLocksPerBlock) {
  test::ResetRealtimeViolations();
  for (const bool writeLive : {false, true}) {
    ChainRig rig;
    Busy(rig);
    rig.form.Box("CheckBox_Write_WAV_Live").SetChecked(writeLive);
    auto in = Loud(220);
    rig.p.WaveInBlockLength.store(220);
    std::copy(in.begin(), in.end(), rig.io.waveIn.area.samples);
    auto direct = Loud(368);
    rig.output.played.reserve(3000 * 220);
    for (int block = 0; block < 3000; ++block) {
      if (block % 500 == 0) rig.p.RecordFull.store(0), rig.p.RecordIndex.store(0);
      rig.form.Box("CheckBox_wav_via_effects").SetChecked(block % 2 == 0);
      test::RealtimeScope scope;
      ProcessWaveInBlock(rig.engine, rig.io, 0, MM_WIM_DATA, 0, &rig.io.waveIn.area.headers[0], 0);
      ProcessDirectBlock(rig.engine, 368, direct.data());
      rig.p.RealtimeBlockLength.store(block % 3 == 0 ? 256 : 128);
      rig.p.CardType.store(block % 2);
      RealtimeProcessSharedBlock(rig.engine, rig.io.realtime);
    }
  }
  EXPECT_EQ(test::RealtimeViolations(), 0) << test::FirstRealtimeViolation();
}

TEST(Allocation, TheDetectorSeesAnAllocation) {
  test::ResetRealtimeViolations();
  {
    test::RealtimeScope scope;
    static int* volatile kept = nullptr;  // volatile: the pair must not be optimised away
    kept = new int(3);
    delete kept;
  }
  EXPECT_GE(test::RealtimeViolations(), 1);
  test::ResetRealtimeViolations();
}

// The realtime thread (CardType 2: no wait) runs blocks while the window thread
// moves controls and posts; stopping clears the run flag and waits for state -1.
TEST(Allocation, RealtimeThreadRunsWhileTheWindowMovesControls) {
  test::ResetRealtimeViolations();
  ChainRig rig;
  Busy(rig);
  rig.p.CardType.store(2);
  Tuner tuner(rig.engine.tuner);
  tuner.Start(22050);
  RealtimeShared& shared = rig.io.realtime;
  shared.runFlag.store(1);
  std::thread audio([&] {
    test::RealtimeScope scope;
    RealtimeThreadLoop(rig.engine, rig.io.realtime, nullptr);
  });
  for (int step = 0; step < 2000; ++step) {
    rig.form.Bar("ScrollBar_OutPut_Volume").SetPosition(1 + step % 100);
    rig.form.Bar("ScrollBar_Digital_IN_Gain").SetPosition(1 + step % 30);
    rig.form.Box("CheckBox_wav_via_effects").SetChecked(step % 3 == 0);
    rig.form.Box("CheckBox_Write_WAV_Live").SetChecked(step % 5 == 0);
    rig.form.Box("CheckBox_record_clean").SetChecked(step % 7 == 0);
    rig.p.RealtimeBlockLength.store(step % 2 ? 128 : 256);
    if (rig.p.RecordFull.load() == 3) rig.p.RecordIndex.store(0), rig.p.RecordFull.store(0);
    rig.Pump();
    if (step % 100 == 0) tuner.Poll();
  }
  shared.runFlag.store(0);
  while (shared.threadState.load() != -1) std::this_thread::yield();
  audio.join();
  EXPECT_EQ(test::RealtimeViolations(), 0) << test::FirstRealtimeViolation();
}

}  // namespace
}  // namespace fw
