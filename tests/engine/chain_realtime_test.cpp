// The realtime driver: summed stereo input, CardType-dependent output with the
// dither table, the ready word, and the thread loop's state and run flag.
#include <gtest/gtest.h>

#include <thread>

#include "support/chain_rig.h"

namespace fw {
namespace {

using test::ChainRig;
using test::Silence;

TEST(RealtimeInput, StereoFramesAreSummedBeforeTheInputGain) {
  ChainRig rig;
  rig.p.RealtimeBlockLength.store(128);
  rig.p.InputGain.store(0.5f);
  std::vector<std::int16_t> frames(256);
  frames[0] = 20000, frames[1] = 20000;    // left, right
  frames[2] = -32768, frames[3] = -32768;  // no 16-bit wrap in the sum
  rig.Realtime(frames);
  EXPECT_EQ(rig.engine.buffers.dry[0], 40000.0f);
  EXPECT_EQ(rig.engine.buffers.dry[1], -65536.0f);
}

TEST(RealtimeInput, MonoBlockOf256) {
  ChainRig rig;
  rig.p.RealtimeBlockLength.store(256);
  std::vector<std::int16_t> mono(256);
  mono[255] = 1234;
  rig.Realtime(mono);
  EXPECT_EQ(rig.engine.buffers.dry[255], 1234.0f);
}

TEST(RealtimeOutput, CardType1WritesEachSampleToBothChannelsOfAStereoBlock) {
  ChainRig rig;
  rig.p.CardType.store(1);
  rig.p.RealtimeBlockLength.store(128);
  rig.SetFile({1000, -2000});
  const auto out = rig.Realtime(Silence(256));
  EXPECT_EQ(out[0], 1000);
  EXPECT_EQ(out[1], 1000);
  EXPECT_EQ(out[2], -2000);
  EXPECT_EQ(out[3], -2000);
}

TEST(RealtimeOutput, CardType1WritesAMonoBlockOnce) {
  ChainRig rig;
  rig.p.CardType.store(1);
  rig.p.RealtimeBlockLength.store(256);
  rig.SetFile({1000, -2000});
  const auto out = rig.Realtime(Silence(256));
  EXPECT_EQ(out[0], 1000);
  EXPECT_EQ(out[1], -2000);
}

TEST(RealtimeOutput, OtherCardTypesWrite128DitheredFramesAndClampAfterTheDither) {
  for (const int cardType : {0, 2}) {
    for (const int blockLength : {128, 256}) {
      SCOPED_TRACE(testing::Message() << "CardType " << cardType << ", block " << blockLength);
      ChainRig rig;
      rig.p.CardType.store(cardType);
      rig.p.RealtimeBlockLength.store(blockLength);
      DitherTable& dither = rig.engine.dither;
      dither.values[65534].store(3), dither.values[65535].store(-4);
      dither.values[0].store(100), dither.values[1].store(-100);
      dither.index = 65534;  // the index wraps from 65535 to 0
      rig.SetFile({1000, 32000, 0, 0});
      const auto out = rig.Realtime(Silence(256));
      EXPECT_EQ(out[0], 1003);
      EXPECT_EQ(out[1], 996);
      EXPECT_EQ(out[2], 32000);  // 32000 + 100, clamped
      EXPECT_EQ(out[3], 31900);
      EXPECT_EQ(dither.index, 254);
    }
  }
}

TEST(RealtimeOutput, TheReadyWordIsClearedWhenTheBlockIsDone) {
  ChainRig rig;
  rig.Realtime(Silence(256));
  EXPECT_EQ(rig.io.realtime.ready.load(), 0);
}

TEST(RealtimeThreadLoop, RunsWhileTheRunFlagIsSetAndEndsWithStateMinusOne) {
  for (const int cardType : {0, 2}) {
    ChainRig rig;
    rig.p.CardType.store(cardType);
    RealtimeShared& shared = rig.io.realtime;
    shared.runFlag.store(1);
    shared.ready.store(1);
    std::thread thread([&] { EXPECT_EQ(RealtimeThreadLoop(rig.engine, rig.io.realtime, nullptr), 0u); });
    while (shared.threadState.load() != 1) std::this_thread::yield();
    // CardType 0 spins until the driver marks a block ready; the loop clears the word.
    while (shared.ready.load() != 0) std::this_thread::yield();
    shared.runFlag.store(0);
    thread.join();
    EXPECT_EQ(shared.threadState.load(), -1);
  }
}

class CountingEvent final : public RealtimeEvent {
 public:
  void Wait() noexcept override {
    waits.fetch_add(1);
    while (signals.load() == 0) std::this_thread::yield();
    signals.fetch_sub(1);
  }
  void Signal() noexcept override { signals.fetch_add(1); }
  std::atomic<int> waits{0};
  std::atomic<int> signals{0};
};

TEST(RealtimeThreadLoop, CardType1WaitsOnTheEventForEveryBlock) {
  ChainRig rig;
  CountingEvent event;
  rig.p.CardType.store(1);
  RealtimeShared& shared = rig.io.realtime;
  shared.event = &event;
  shared.runFlag.store(1);
  std::thread thread([&] { RealtimeThreadLoop(rig.engine, rig.io.realtime, nullptr); });
  for (int block = 0; block < 3; ++block) {
    shared.ready.store(1);
    event.Signal();
    while (shared.ready.load() != 0) std::this_thread::yield();
  }
  shared.runFlag.store(0);
  event.Signal();
  thread.join();
  EXPECT_EQ(event.waits.load(), 4);
  EXPECT_EQ(shared.threadState.load(), -1);
}

}  // namespace
}  // namespace fw
