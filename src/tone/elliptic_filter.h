#pragma once
// The elliptic "Brightness" low-pass: one of five fixed order-5 or order-6 sets,
// direct form with float sums, at the end of the tone chain.
#include <cstdint>

#include "core/word.h"

namespace fw {

struct EllipticCoefficientSet {
  int order;
  double b[7];
  double a[7];  // a[0] = 1
};

inline constexpr int kBrightnessSets = 5;
// "Black", "Gray", "White", "Light", "Ultra".
extern const EllipticCoefficientSet kBrightnessCoefficients[kBrightnessSets];

struct EllipticFilter {
  static constexpr int kStorage = 101;
  static constexpr int kMaxSetOrder = 6;

  // Loaded by SelectBrightness on the window thread.
  IntWord order{0};
  FloatWord b[kStorage];
  FloatWord a[kStorage];

  // Loads set `index` (0..4) and clears the histories; any other index only
  // clears them.
  void SelectBrightness(std::int32_t index) noexcept;

  // The chain's call: the elliptic filter over work[0 .. n-1] in place.
  void Process(float* work, int n) noexcept;

 private:
  // Histories; X_[N] and Y_[N] hold the newest values. Audio side only: a selection
  // asks for the clear and the next block performs it before filtering.
  float X_[kStorage] = {};
  float Y_[kStorage] = {};
  IntWord clearRequests{0};
  std::int32_t clearsDone = 0;  // audio side only
};

}  // namespace fw
