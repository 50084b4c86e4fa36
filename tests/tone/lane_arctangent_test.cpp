// The vector arctangent against the C library's, bit for bit, at both widths.
#include "tone/lane_arctangent.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace fw {
namespace {

TEST(LaneArctangent, GivesTheLibrarysBitsAcrossTheFloatRangeAtBothWidths) {
  std::vector<float> inputs = {0.0f,
                               -0.0f,
                               1e-40f,
                               -1e-40f,
                               0.4375f,
                               0.6875f,
                               1.1875f,
                               2.4375f,
                               33554432.0f,
                               -33554432.0f,
                               std::numeric_limits<float>::infinity(),
                               -std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN()};
  // Every 4099th bit pattern: each binade of both signs, with the reduction's edges.
  for (std::uint64_t bits = 0; bits < (1ull << 32); bits += 4099) {
    inputs.push_back(std::bit_cast<float>(static_cast<std::uint32_t>(bits)));
  }
  const bool eightLanes = WidestBankWidth() == BankWidth::kEight;
  for (const BankWidth width : {BankWidth::kFour, BankWidth::kEight}) {
    if (width == BankWidth::kEight && !eightLanes) continue;
    std::vector<float> values = inputs;
    ArctangentInPlace(values.data(), static_cast<int>(values.size()), width);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      const float expected = std::atan(inputs[i]);
      if (std::isnan(expected)) {
        ASSERT_TRUE(std::isnan(values[i])) << inputs[i];
      } else {
        ASSERT_EQ(std::bit_cast<std::uint32_t>(values[i]), std::bit_cast<std::uint32_t>(expected))
            << "atan(" << inputs[i] << ") width " << (width == BankWidth::kEight ? 8 : 4);
      }
    }
  }
}

}  // namespace
}  // namespace fw
