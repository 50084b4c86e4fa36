#pragma once
// The generator of the dither table: a 32-bit linear congruential generator
// (multiplier 1664525, increment 1013904223, modulus 2^32). Seedable, so a test or a
// render can reproduce the table; the high bits pick the value, as the low bits of
// such a generator repeat with short periods.
#include <cstdint>

namespace fw {

class DitherRandom {
 public:
  explicit constexpr DitherRandom(std::uint32_t seed = 1) noexcept : state_(seed) {}

  // A uniform integer in 0 .. range-1 (range at most 2^16).
  constexpr std::uint32_t Next(std::uint32_t range) noexcept {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state_ >> 16) * range) >> 16);
  }

 private:
  std::uint32_t state_;
};

}  // namespace fw
