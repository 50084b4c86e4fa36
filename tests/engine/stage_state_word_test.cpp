// The audio side advances a stage word every block while the window thread may
// rewrite it; a rewrite that lands between the block's read and its write-back
// must stand.
#include "engine/stage_state_word.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>

namespace fw {
namespace {

TEST(StageStateWord, AdvancesUnlessTheWordWasRewritten) {
  IntWord word{5};
  StoreUnlessRewritten(word, 5, 6);
  EXPECT_EQ(word.load(), 6);
  StoreUnlessRewritten(word, 5, 7);  // rewritten to 6 since the block read 5
  EXPECT_EQ(word.load(), 6);

  FloatWord position{1.0f};
  StoreUnlessRewritten(position, 1.0f, 1.5f);
  EXPECT_EQ(position.load(), 1.5f);
}

// The audio side advances the word as fast as it can while the window thread
// rewrites it, round after round, to the start of the other of two far-apart
// ranges. A write-back from a read before the rewrite would put back a value from
// the range the word was in: after a rewrite the word must stay in the new range.
TEST(StageStateWord, WindowRewritesAreNeverLostWhileTheAudioSideAdvances) {
  constexpr int kRounds = 300;
  constexpr std::int32_t kRangeSize = 1 << 30;
  IntWord word{0};
  std::atomic<bool> stop{false};

  std::thread audio([&] {
    while (!stop.load(std::memory_order_relaxed)) {
      const std::int32_t atStart = word.load();
      StoreUnlessRewritten(word, atStart, atStart + 1);
    }
  });

  int lost = 0;
  for (int round = 0; round < kRounds; ++round) {
    const std::int32_t rewrite = round % 2 == 0 ? kRangeSize : 0;
    word.store(rewrite);
    std::int32_t next = word.load();
    while (next == rewrite) {  // wait for the audio side's next change
      std::this_thread::yield();
      next = word.load();
    }
    if (next < rewrite || next >= rewrite + kRangeSize) ++lost;
  }
  stop.store(true, std::memory_order_relaxed);
  audio.join();

  EXPECT_EQ(lost, 0) << "of " << kRounds << " rewrites";
}

}  // namespace
}  // namespace fw
