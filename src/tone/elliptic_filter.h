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

  // The start of every block: clears the histories if a selection asked for it and
  // returns the order to filter with.
  int BeginBlock() noexcept;

  // One sample of the filter of order N; sums in float in the written order. Always
  // inlined, so that a constant N unrolls the loops.
  [[gnu::always_inline]] static float Step(int N, float x, float* X, float* Y, const float* bk,
                                           const float* ak) noexcept {
    X[N] = x;
    float s = 0.0f;
    for (int k = 0; k <= N; ++k) s += bk[k] * X[N - k];
    for (int j = 0; j < N; ++j) X[j] = X[j + 1];
    float t = 0.0f;
    for (int k = 1; k <= N; ++k) t += ak[k] * Y[N - k];
    const float y = s - t;
    Y[N] = y;
    for (int j = 0; j < N; ++j) Y[j] = Y[j + 1];
    return y;
  }

  // The filter one sample at a time at a fixed order N (the sets have 5 or 6), after
  // BeginBlock returned N: coefficients and histories in locals while the run lasts,
  // the histories written back when it ends.
  template <int N>
  class Run {
   public:
    explicit Run(EllipticFilter& f) noexcept : f_(f) {
      for (int k = 0; k <= N; ++k) {
        bk_[k] = f.b[k].load();
        ak_[k] = f.a[k].load();
        x_[k] = f.X_[k];
        y_[k] = f.Y_[k];
      }
    }
    ~Run() {
      for (int k = 0; k <= N; ++k) {
        f_.X_[k] = x_[k];
        f_.Y_[k] = y_[k];
      }
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    float Step(float x) noexcept { return EllipticFilter::Step(N, x, x_, y_, bk_, ak_); }

   private:
    EllipticFilter& f_;
    float bk_[N + 1];
    float ak_[N + 1];
    float x_[N + 1];
    float y_[N + 1];
  };

 private:
  // Histories; X_[N] and Y_[N] hold the newest values. Audio side only: a selection
  // asks for the clear and the next block performs it before filtering.
  float X_[kStorage] = {};
  float Y_[kStorage] = {};
  IntWord clearRequests{0};
  std::int32_t clearsDone = 0;  // audio side only
};

}  // namespace fw
