// The live stream on the virtual card: gathering into 220-sample buffers, the output
// queue's delay, the 50-sample steps, the chorus and resampling.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "loopback_rig.h"

namespace fw::test {
namespace {

constexpr int kBlock = WaveInBufferArea::kBufferLength;

// The delay from input to output is the latency setting plus one block, whatever the
// device's period, and every sample comes out exactly once.
TEST(OutputQueue, DelayIsLatencyPlusOneBlockAtAnyPeriod) {
  for (int period : {32, 128, 220, 256, 1000}) {
    for (int latency : {0, 50, 700, 1400}) {
      const auto input = ExactNoise(20000);
      LoopbackRig rig(input, period, 44100, 44100, latency);
      ASSERT_TRUE(rig.ok);
      rig.Pump(static_cast<int>(input.size()) / period + 20);
      EXPECT_EQ(ExactDelay(input, rig.card->playedLeft, 0, input.size() - 3000, 3000), latency + kBlock)
          << "period " << period << " latency " << latency;
      EXPECT_EQ(rig.live->Output().DelaySamples(), latency + kBlock);
      EXPECT_EQ(rig.live->Output().Underruns(), 0);
      EXPECT_EQ(rig.card->playedLeft, rig.card->playedRight);  // mono plays on both sides
    }
  }
}

TEST(OutputQueue, InsertAndSkipMoveTheDelayBy50WithoutAClick) {
  const auto input = ExactNoise(60000);
  LoopbackRig rig(input, 128, 44100, 44100, 1400);
  ASSERT_TRUE(rig.ok);
  auto& out = rig.live->Output();
  rig.Pump(100);  // 12800 samples
  out.insert_buffer();
  rig.Pump(100);  // to 25600
  out.skip_buffer();
  out.skip_buffer();
  rig.Pump(100);  // to 38400
  const auto& played = rig.card->playedLeft;
  EXPECT_EQ(ExactDelay(input, played, 2000, 11000, 3000), 1620);
  EXPECT_EQ(ExactDelay(input, played, 14000, 23000, 3000), 1670);
  EXPECT_EQ(ExactDelay(input, played, 27000, 36000, 3000), 1570);
  EXPECT_EQ(out.DelaySamples(), 1570);
  EXPECT_EQ(out.Underruns(), 0);

  // On a smooth signal the shift leaves no step: a sine stays a sine.
  std::vector<float> sine(30000);
  for (std::size_t i = 0; i < sine.size(); ++i) sine[i] = 0.5f * std::sin(0.01f * static_cast<float>(i));
  LoopbackRig smooth(sine, 128, 44100, 44100, 1400);
  smooth.Pump(60);
  smooth.live->Output().insert_buffer();
  smooth.Pump(30);
  smooth.live->Output().skip_buffer();
  smooth.Pump(60);
  float largestStep = 0.0f;
  const auto& s = smooth.card->playedLeft;
  for (std::size_t i = 1; i < s.size(); ++i) largestStep = std::max(largestStep, std::fabs(s[i] - s[i - 1]));
  EXPECT_LT(largestStep, 0.5f * 0.01f * 1.5f);  // the sine's own largest step, with room for the fade
}

TEST(OutputQueue, StepsBeforePlayingStartsCountOnceThroughTheSetting) {
  const auto input = ExactNoise(20000);
  LoopbackRig rig(input, 128, 44100, 44100, 1400);
  auto& out = rig.live->Output();
  out.setup_latency(1450);
  out.insert_buffer();
  rig.Pump(100);
  EXPECT_EQ(out.DelaySamples(), 1450 + kBlock);
  EXPECT_EQ(ExactDelay(input, rig.card->playedLeft, 2000, 9000, 3000), 1450 + kBlock);
}

TEST(OutputQueue, SkipNeverShortensBelowOneBlock) {
  const auto input = ExactNoise(20000);
  LoopbackRig rig(input, 128, 44100, 44100, 50);
  rig.Pump(20);
  rig.live->Output().skip_buffer();
  rig.live->Output().skip_buffer();
  rig.Pump(100);
  EXPECT_EQ(rig.live->Output().DelaySamples(), kBlock);
  EXPECT_EQ(rig.live->Output().Underruns(), 0);
  EXPECT_EQ(ExactDelay(input, rig.card->playedLeft, 8000, 12000, 1000), kBlock);
}

TEST(OutputQueue, InsertNeverTargetsMoreThanTheQueueHolds) {
  const auto input = ExactNoise(90000);
  LoopbackRig rig(input, 128, 44100, 44100, 1400);
  auto& out = rig.live->Output();
  rig.Pump(20);
  for (int i = 0; i < 2000; ++i) out.insert_buffer();  // 100,000 samples asked for
  rig.Pump(500);
  const int delay = out.DelaySamples();
  EXPECT_LE(delay, OutputQueueLibrary::kRingSize / 4);
  EXPECT_GT(delay, OutputQueueLibrary::kRingSize / 4 - OutputQueueLibrary::kShiftSamples);
  EXPECT_EQ(out.Underruns(), 0);
  // What plays is the input that long ago, not samples the queue has overwritten.
  EXPECT_EQ(ExactDelay(input, rig.card->playedLeft, 40000, 41000, delay), delay);
}

// A callback of ours that takes longer than its period is counted apart from the
// xruns the device reports.
TEST(OutputQueue, CallbacksLongerThanTheirPeriodAreCountedAsOurs) {
  LoopbackRig rig(ExactNoise(20000), 128);
  rig.stallMicroseconds = 20000;  // seven periods of 128 frames at 44.1 kHz
  rig.Pump(10);
  EXPECT_GE(rig.live->LateCallbacks(), 1);
  EXPECT_LE(rig.live->LateCallbacks(), 10);
  EXPECT_EQ(rig.live->Xruns(), 0);
}

// The output opens before capture starts: a file played once waits for the capture
// instead of running out unheard.
TEST(OutputQueue, FilePlayedOnceWaitsUntilCaptureStarts) {
  VirtualCardOptions options;
  options.inputSamples = ExactNoise(1000);
  options.loop = false;
  options.pacing = VirtualCardOptions::Pacing::Manual;
  auto device = std::make_unique<VirtualSoundCard>(options);
  VirtualSoundCard& card = *device;
  LiveAudio live(std::move(device), &MakeSpeexRateConverter);
  ASSERT_EQ(live.Output().WinMain1(0), 0);
  for (int i = 0; i < 20; ++i) card.Pump();
  EXPECT_FALSE(card.InputFinished());
  live.Output().CloseDSound();
}

TEST(OutputQueue, StereoChorusWidensTheImageAndTurnsOffSmoothly) {
  std::vector<float> input(44100 * 2);
  for (std::size_t i = 0; i < input.size(); ++i) input[i] = 0.3f * std::sin(0.07f * static_cast<float>(i));
  LoopbackRig rig(input, 256, 44100, 44100, 700);
  auto& out = rig.live->Output();
  out.setup_stereo(2);
  out.setup_max_chorus_delay(600);
  rig.Pump(250);
  const auto& l = rig.card->playedLeft;
  const auto& r = rig.card->playedRight;
  double diff = 0.0;
  double energy = 0.0;
  for (std::size_t i = 30000; i < 60000; ++i) {
    diff += std::fabs(l[i] - r[i]);
    energy += std::fabs(l[i]);
    EXPECT_LE(std::fabs(l[i]), 0.6f);  // dry and wet together stay within range
  }
  EXPECT_GT(diff / energy, 0.1);  // the sides differ
  // Chorus delay 0 turns it off: after the fade both sides play the block again.
  out.setup_max_chorus_delay(0);
  const std::size_t mark = l.size();
  rig.Pump(100);
  for (std::size_t i = mark + 8000; i < mark + 20000; ++i) ASSERT_NEAR(l[i], r[i], 1e-6f) << i;
}

TEST(OutputQueue, DeviceAt48000FeedsAnEngineAt44100) {
  // A 1 kHz sine at the device rate comes back as a 1 kHz sine at the device rate.
  std::vector<float> input(48000 * 2);
  for (std::size_t i = 0; i < input.size(); ++i) {
    input[i] = 0.5f * std::sin(2.0f * 3.14159265f * 1000.0f * static_cast<float>(i) / 48000.0f);
  }
  LoopbackRig rig(input, 128, 48000, 44100, 1400);
  ASSERT_TRUE(rig.ok);
  rig.Pump(static_cast<int>(input.size()) / 128);
  EXPECT_EQ(rig.live->Output().Underruns(), 0);
  const auto& out = rig.card->playedLeft;
  // Fit the sine over the last second: amplitude and frequency preserved, residual small.
  const std::size_t from = 48000;
  int crossings = 0;
  float peak = 0.0f;
  for (std::size_t i = from; i < from + 48000 - 1; ++i) {
    if (out[i] < 0.0f && out[i + 1] >= 0.0f) ++crossings;
    peak = std::max(peak, std::fabs(out[i]));
  }
  EXPECT_NEAR(crossings, 1000, 1);
  EXPECT_NEAR(peak, 0.5f, 0.01f);
  // About 220 engine samples of gathering and 1400 device samples of queue, plus the converters.
  const int expected = 1400 + static_cast<int>(std::lround(kBlock * 48000.0 / 44100.0));
  double best = -1.0;
  int bestDelay = 0;
  for (int d = expected - 100; d < expected + 200; ++d) {
    double c = 0.0;
    for (std::size_t k = from; k < from + 4800; ++k)
      c += static_cast<double>(input[k]) * out[k + static_cast<std::size_t>(d)];
    if (c > best) {
      best = c;
      bestDelay = d;
    }
  }
  EXPECT_NEAR(bestDelay, expected, 100);
}

// A producer running faster than the device (separate clocks) piles samples up; with
// setup_auto(1) the queue steps back towards its delay, with setup_auto(0) it does not.
TEST(OutputQueue, DriftBeyondTheBandIsCorrectedOnlyWhenAutomatic) {
  for (int automatic : {1, 0}) {
    LoopbackRig rig(ExactNoise(400000), 128, 44100, 44100, 700);
    auto& out = rig.live->Output();
    out.setup_auto(automatic);
    out.setup_delta_delta(150);
    std::int16_t extra[kBlock] = {};
    for (int period = 0; period < 3000; ++period) {
      rig.Pump(1);
      if (period > 1000 && period % 300 == 0) out.out_to_dsound(extra);  // one block too many
    }
    EXPECT_EQ(out.Underruns(), 0);
    if (automatic == 1) {
      EXPECT_GE(out.DriftCorrections(), 2);
    } else {
      EXPECT_EQ(out.DriftCorrections(), 0);
    }
  }
}

// setup_auto(1): playing starts with the smallest queue that holds, whatever the
// period, and holds it: the gathering never gets ahead of the queue, and every sample
// still comes out exactly once.
TEST(AutomaticDelay, StartsAtTheSmallestQueueThatHoldsAtAnyPeriod) {
  for (int period : {32, 64, 128, 256, 1000}) {
    const auto input = ExactNoise(60000);
    LoopbackRig rig(input, period, 44100, 44100, 1400);
    ASSERT_TRUE(rig.ok);
    auto& out = rig.live->Output();
    out.setup_auto(1);
    rig.Pump(static_cast<int>(input.size()) / period + 20);
    const int delay = out.DelaySamples();
    EXPECT_EQ(out.Underruns(), 0) << "period " << period;
    EXPECT_EQ(delay, out.SmallestDelay());
    // Never more than the unfinished capture buffer can hold back.
    EXPECT_LE(delay, kBlock) << "period " << period;
    EXPECT_GT(delay, kBlock / 2) << "period " << period;
    EXPECT_EQ(ExactDelay(input, rig.card->playedLeft, 30000, input.size() - 3000, 3000), delay);
  }
}

// A device at 48000 for an engine at 44100: the converters' batches are measured too.
TEST(AutomaticDelay, HoldsThroughTheConverters) {
  std::vector<float> input(48000 * 3);
  for (std::size_t i = 0; i < input.size(); ++i)
    input[i] = 0.5f * std::sin(2.0f * 3.14159265f * 1000.0f * static_cast<float>(i) / 48000.0f);
  for (int period : {64, 128, 256}) {
    LoopbackRig rig(input, period, 48000, 44100, 1400);
    rig.live->Output().setup_auto(1);
    rig.Pump(static_cast<int>(input.size()) / period);
    EXPECT_EQ(rig.live->Output().Underruns(), 0) << "period " << period;
    EXPECT_LE(rig.live->Output().DelaySamples(), kBlock + 64 + period) << "period " << period;
  }
}

// An underrun forced by a stalled callback lengthens the delay by exactly one step,
// never beyond the latency setting plus one block; the buttons' steps still move it by
// 50, and skip_buffer never goes below the smallest queue that holds.
TEST(AutomaticDelay, AnUnderrunLengthensByOneStepAndTheStepsStillMoveIt) {
  const auto input = ExactNoise(120000);
  LoopbackRig rig(input, 128, 44100, 44100, 1400);
  auto& out = rig.live->Output();
  out.setup_auto(1);
  rig.Pump(300);  // 38400 samples
  const int smallest = out.SmallestDelay();
  ASSERT_EQ(out.DelaySamples(), smallest);
  rig.StallOnce();
  rig.Pump(100);  // to 51200
  EXPECT_EQ(out.Underruns(), 1);
  EXPECT_EQ(out.DelaySamples(), smallest + 50);
  const auto& played = rig.card->playedLeft;
  EXPECT_EQ(ExactDelay(input, played, 41000, 49000, 3000), smallest + 50);
  out.insert_buffer();
  rig.Pump(100);  // to 64000
  EXPECT_EQ(out.DelaySamples(), smallest + 100);
  for (int i = 0; i < 4; ++i) out.skip_buffer();
  rig.Pump(100);  // to 76800
  EXPECT_EQ(out.DelaySamples(), smallest);
  EXPECT_EQ(ExactDelay(input, played, 66000, 74000, 3000), smallest);
  EXPECT_EQ(out.Underruns(), 1);

  // At the smallest setting the ceiling is one block: an underrun plays on at the same delay.
  LoopbackRig low(input, 128, 44100, 44100, 0);
  low.live->Output().setup_auto(1);
  low.Pump(300);
  const int floor = low.live->Output().SmallestDelay();
  low.StallOnce();
  low.Pump(100);
  EXPECT_EQ(low.live->Output().Underruns(), 1);
  EXPECT_EQ(low.live->Output().DelaySamples(), floor);
}

TEST(StreamWaveInput, OpenChecksTheFormatAndResetReturnsTheBuffers) {
  LoopbackRig rig(ExactNoise(1000), 128);
  StreamWaveInput& in = rig.live->Input();
  WaveFormat stereo;
  stereo.channels = 2;
  EXPECT_EQ(in.Open(kWaveMapper, stereo, {}, 0, 0), MMSYSERR_ALLOCATED);  // already open
  EXPECT_EQ(in.QueuedBuffers(), WaveInBufferArea::kBufferCount);
  in.Stop();
  in.Reset();
  EXPECT_EQ(in.QueuedBuffers(), 0);
  for (const auto& h : rig.area.headers) EXPECT_TRUE((h.flags & WHDR_DONE) != 0);
  WaveInCaps caps;
  EXPECT_EQ(in.GetDevCaps(kWaveMapper, &caps), 0);
  EXPECT_STREQ(caps.productName, "Virtual sound card");
  EXPECT_EQ(in.Close(), 0);
  EXPECT_EQ(in.Open(kWaveMapper, stereo, {}, 0, 0), WAVERR_BADFORMAT);
  WaveInHeader unprepared{};
  std::int16_t data[4];
  unprepared.data = data;
  unprepared.bufferLength = 8;
  EXPECT_EQ(in.AddBuffer(&unprepared, kWaveHeaderSize), MMSYSERR_INVALHANDLE);
}

}  // namespace
}  // namespace fw::test
