// The wave-in callback: which calls it acts on, where it reads its block, and that
// it plays the block and gives the buffer back.
#include <gtest/gtest.h>

#include "support/chain_rig.h"

namespace fw {
namespace {

using test::ChainRig;
using test::Silence;

constexpr std::uint32_t kWimOpen = 0x3BE;

TEST(WaveInCallback, IgnoresOtherMessagesAndCallsWhileWaveInputIsStopped) {
  ChainRig rig;
  rig.SetFile({100});
  EXPECT_TRUE(rig.WaveIn(Silence(220), 0, kWimOpen).empty());
  rig.io.waveIn.running.store(0);
  EXPECT_TRUE(rig.WaveIn(Silence(220)).empty());
  EXPECT_EQ(rig.waveInput.calls, 0);
  EXPECT_EQ(rig.p.FileBlockCounter.load(), 0);
}

TEST(WaveInCallback, ReadsBufferIndexTimesBlockLengthPlaysTheBlockAndGivesTheBufferBack) {
  ChainRig rig;
  std::vector<std::int16_t> input(220);
  input[0] = 111, input[219] = -222;
  const auto played = rig.WaveIn(input, 3);
  EXPECT_EQ(played.size(), 220u);
  EXPECT_EQ(rig.engine.buffers.dry[0], 111.0f);
  EXPECT_EQ(rig.engine.buffers.dry[219], -222.0f);
  EXPECT_EQ(rig.waveInput.calls, 1);
  EXPECT_EQ(rig.waveInput.lastHeader, &rig.io.waveIn.area.headers[3]);
  EXPECT_EQ(rig.waveInput.lastSize, 32u);
}

TEST(WaveInCallback, AHeaderOutsideTheBufferAreaIsGivenBackUnprocessed) {
  ChainRig rig;
  rig.p.WaveInBlockLength.store(220);
  WaveInHeader header;
  for (const std::uintptr_t user : {std::uintptr_t{257}, ~std::uintptr_t{0}, std::uintptr_t{1} << 62}) {
    header.user = user;
    ProcessWaveInBlock(rig.engine, rig.io, 0, MM_WIM_DATA, 0, &header, 0);
  }
  EXPECT_EQ(rig.waveInput.calls, 3);
  EXPECT_TRUE(rig.output.played.empty());
}

}  // namespace
}  // namespace fw
