// The dither table's generator: reproducible per seed and uniform over its range.
#include <gtest/gtest.h>

#include <array>

#include "engine/dither_random.h"

namespace fw {
namespace {

TEST(DitherRandom, TheSameSeedGivesTheSameSequenceAndAnotherSeedAnother) {
  DitherRandom a(42), b(42), c(43);
  bool differs = false;
  for (int i = 0; i < 1000; ++i) {
    const std::uint32_t x = a.UniformBelow(500);
    ASSERT_EQ(x, b.UniformBelow(500));
    differs = differs || x != c.UniformBelow(500);
  }
  EXPECT_TRUE(differs);
}

TEST(DitherRandom, SplitMix64ReferenceValues) {
  // First outputs of SplitMix64 seeded with 0, as published with the algorithm.
  DitherRandom random(0);
  EXPECT_EQ(random.Next64(), 0xE220A8397B1DCDAFu);
  EXPECT_EQ(random.Next64(), 0x6E789E6AA1B965F4u);
}

TEST(DitherRandom, EveryValueBelowTheBoundComesUpAboutEquallyOften) {
  DitherRandom random(7);
  std::array<int, 500> counts{};
  const int draws = 500 * 400;
  for (int i = 0; i < draws; ++i) {
    const std::uint32_t r = random.UniformBelow(500);
    ASSERT_LT(r, 500u);
    ++counts[r];
  }
  // 400 expected per value; 6 standard deviations (20 each) is far outside chance.
  for (const int count : counts) {
    EXPECT_GT(count, 400 - 120);
    EXPECT_LT(count, 400 + 120);
  }
}

}  // namespace
}  // namespace fw
