// The exactness rule's two measures and where each lets a render pass.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/exactness.h"

namespace fw::test {
namespace {

TEST(ExactnessRule, LsbBoundsOrEightyDecibelsOfSignalToDifference) {
  const std::vector<std::int16_t> quiet(10000, 10);
  std::vector<std::int16_t> off = quiet;
  off[0] = 12;  // 2 LSB once: within
  EXPECT_TRUE(WithinExactnessRule(quiet, off));
  off[1] = 13;  // 3 LSB in a quiet render: outside, and both measures are named
  const testing::AssertionResult result = WithinExactnessRule(quiet, off);
  EXPECT_FALSE(result);
  EXPECT_NE(std::string(result.message()).find("largest difference 3 LSB"), std::string::npos);
  EXPECT_NE(std::string(result.message()).find("signal to difference"), std::string::npos);

  // More than 0.1 % of samples 2 LSB apart fails a quiet render, passes a loud one.
  std::vector<std::int16_t> twos = quiet;
  for (int i = 0; i < 11; ++i) twos[static_cast<std::size_t>(i)] = 12;
  EXPECT_FALSE(WithinExactnessRule(quiet, twos));
  const std::vector<std::int16_t> loud(10000, 20000);
  std::vector<std::int16_t> loudOff = loud;
  for (int i = 0; i < 100; ++i) loudOff[static_cast<std::size_t>(i)] = 20005;
  EXPECT_GE(MeasureExactness(loud, loudOff).signalToDifferenceDb, 80.0);
  EXPECT_TRUE(WithinExactnessRule(loud, loudOff));

  EXPECT_FALSE(WithinExactnessRule(quiet, std::vector<std::int16_t>(9999, 10)));  // a lost sample
}

}  // namespace
}  // namespace fw::test
