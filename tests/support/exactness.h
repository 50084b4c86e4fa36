#pragma once
// The exactness rule every golden render and model comparison checks: a render
// agrees with its exact reference when no sample is more than 2 LSB off and at
// most 0.1 % of samples are more than 1 LSB off, or when the signal-to-difference
// ratio over the whole render is at least 80 dB. Room for fused multiply-adds,
// reordered sums, approximations and vector lanes; any change of sound is far more.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace fw::test {

struct Exactness {
  std::size_t samples = 0;  // compared: the shorter length
  bool sameLength = true;
  int largestLsb = 0;
  std::size_t overOneLsb = 0;
  double signalToDifferenceDb = 0.0;  // +inf when there is no difference

  bool WithinRule() const noexcept;
  // Both measures and the verdict, for a failure message or a report.
  std::string Describe() const;
};

Exactness MeasureExactness(std::span<const std::int16_t> reference,
                           std::span<const std::int16_t> actual) noexcept;

// For EXPECT_TRUE / ASSERT_TRUE: the failure message names both measures.
testing::AssertionResult WithinExactnessRule(std::span<const std::int16_t> reference,
                                             std::span<const std::int16_t> actual);

}  // namespace fw::test
