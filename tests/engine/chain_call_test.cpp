// The chain as a host calls it: an engine and plain buffers, no device, window or
// message port.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/chain.h"
#include "support/stage_setup.h"

namespace fw {
namespace {

struct Host {
  std::unique_ptr<Engine> engine = MakeEngine();
  Chain chain{*engine};

  Host() { test::SetEveryStage(engine->params, 0); }
  // Values after the effects through the file mix-in: silent input, file x gain.
  void SetFile(const std::vector<std::int16_t>& samples, float gain) {
    for (std::size_t i = 0; i < samples.size(); ++i) engine->file.Set(static_cast<int>(i), samples[i]);
    engine->params.WavFileGain.store(gain);
    engine->params.FileBlockCounter.store(0);
  }
};

TEST(ChainCall, WaveInCountsOverloadsForTheHostInsteadOfPostingThem) {
  Host host;
  // 33000, 33000, 31500, 33000, 30999, 33000, 33000, 33000: the latch re-arms once.
  host.SetFile({11000, 11000, 10500, 11000, 10333, 11000, 11000, 11000}, 3.0f);
  const std::vector<std::int16_t> in(8, 0);
  std::vector<std::int16_t> out(8, 7);
  const ChainResult result = host.chain.Process(Driver::WaveIn, in.data(), out.data(), 8);
  EXPECT_EQ(result.overloads, 2);
  EXPECT_EQ(result.outputChannels, 1);
  EXPECT_EQ(out, (std::vector<std::int16_t>{32000, 32000, 31500, 32000, 30999, 32000, 32000, 32000}));
  EXPECT_EQ(host.engine->params.OverloadLatch.load(), 1);  // until the window clears it
}

TEST(ChainCall, RealtimeSaysWhetherItWroteStereoFramesAndRefusesOtherLengths) {
  Host host;
  EngineParams& p = host.engine->params;
  std::vector<std::int16_t> block(kRealtimeBlockSamples, 100);
  const std::vector<std::int16_t> untouched(block);

  EXPECT_EQ(host.chain.Process(Driver::Realtime, block.data(), block.data(), 128).outputChannels, 1);
  EXPECT_EQ(block, untouched);

  p.CardType.store(1);
  p.RealtimeBlockLength.store(256);
  EXPECT_EQ(
      host.chain.Process(Driver::Realtime, block.data(), block.data(), kRealtimeBlockSamples).outputChannels,
      1);
  p.RealtimeBlockLength.store(128);
  EXPECT_EQ(
      host.chain.Process(Driver::Realtime, block.data(), block.data(), kRealtimeBlockSamples).outputChannels,
      2);
  p.CardType.store(2);
  p.RealtimeBlockLength.store(256);
  EXPECT_EQ(
      host.chain.Process(Driver::Realtime, block.data(), block.data(), kRealtimeBlockSamples).outputChannels,
      2);
}

}  // namespace
}  // namespace fw
