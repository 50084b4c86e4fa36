#pragma once
// The generator behind the realtime driver's dither table. Any uniform integer
// generator serves; this one is small, seedable and the same on every machine, so
// a render with a given seed (fretwerk-cli render --seed N) is reproducible.
//
// Algorithm: SplitMix64 (Steele, Lea and Flood, "Fast splittable pseudorandom
// number generators", 2014): the state advances by the odd constant
// 0x9E3779B97F4A7C15 and each output is the state passed through the mixing
// function below. UniformBelow maps a 32-bit output to 0 .. bound-1 by
// multiply-and-shift with rejection (Lemire, 2019), so every value is equally likely.
#include <cstdint>

namespace fw {

class DitherRandom {
 public:
  static constexpr std::uint64_t kDefaultSeed = 0x46726574u;  // "Fret"

  explicit constexpr DitherRandom(std::uint64_t seed = kDefaultSeed) noexcept : state_(seed) {}

  constexpr void Seed(std::uint64_t seed) noexcept { state_ = seed; }

  constexpr std::uint64_t Next64() noexcept {
    state_ += 0x9E3779B97F4A7C15u;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }

  constexpr std::uint32_t Next32() noexcept { return static_cast<std::uint32_t>(Next64() >> 32); }

  // A uniform integer in 0 .. bound-1 (bound > 0).
  constexpr std::uint32_t UniformBelow(std::uint32_t bound) noexcept {
    std::uint64_t product = static_cast<std::uint64_t>(Next32()) * bound;
    auto low = static_cast<std::uint32_t>(product);
    if (low < bound) {
      const std::uint32_t threshold = static_cast<std::uint32_t>(-bound) % bound;
      while (low < threshold) {
        product = static_cast<std::uint64_t>(Next32()) * bound;
        low = static_cast<std::uint32_t>(product);
      }
    }
    return static_cast<std::uint32_t>(product >> 32);
  }

 private:
  std::uint64_t state_;
};

}  // namespace fw
