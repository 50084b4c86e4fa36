#include "tone/elliptic_filter.h"

#include <algorithm>

namespace fw {

const EllipticCoefficientSet kBrightnessCoefficients[kBrightnessSets] = {
    {5,
     {0.0143682081, -0.0358685292, 0.0223326571, 0.0223326571, -0.0358685292, 0.0143682081},
     {1.0, -4.42166615, 8.00011253, -7.38538313, 3.47438931, -0.665787816}},
    {5,
     {0.00338414684, -0.00540448073, 0.00346096698, 0.00346096698, -0.00540448073, 0.00338414684},
     {1.0, -4.24667358, 7.45067358, -6.72650528, 3.11906195, -0.593675613}},
    {6,
     {0.0310364235, -0.0823611915, 0.143123731, -0.158777654, 0.143123731, -0.0823611915, 0.0310364235},
     {1.0, -4.31951094, 8.49518204, -9.50987434, 6.35477877, -2.39288378, 0.397853255}},
    {5,
     {0.0387666002, 0.00326728076, 0.0462485254, 0.0462485254, 0.00326728076, 0.0387666002},
     {1.0, -2.76230574, 3.98811817, -3.26065326, 1.54104555, -0.329639971}},
    {6,
     {0.109112576, 0.305930912, 0.567339718, 0.666931808, 0.567339718, 0.305930912, 0.109112576},
     {1.0, -0.266955256, 1.80239093, -0.609939992, 1.0024761, -0.302598804, 0.162263185}},
};

void EllipticFilter::SelectBrightness(std::int32_t index) noexcept {
  if (index >= 0 && index < kBrightnessSets) {
    const EllipticCoefficientSet& set = kBrightnessCoefficients[index];
    order.store(set.order);
    for (int k = 0; k <= set.order; ++k) {
      b[k].store(static_cast<float>(set.b[k]));
      a[k].store(static_cast<float>(set.a[k]));
    }
  }
  // The histories belong to the audio side, which clears them before its next block.
  clearRequests.store(clearRequests.load() + 1);
}

namespace {

// One sample of the filter of order N; sums in float in the written order. Always
// inlined, so that a constant N unrolls the loops of the fixed-order blocks.
[[gnu::always_inline]] inline float EllipticStep(int N, float x, float* X, float* Y, const float* bk,
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

// The elliptic filter over a block, for a fixed order (the sets have 5 or 6).
template <int N>
void EllipticFilterBlock(float* work, int n, float* X, float* Y, const float* bk, const float* ak) noexcept {
  float x[N + 1];
  float y[N + 1];
  std::copy(X, X + N + 1, x);
  std::copy(Y, Y + N + 1, y);
  for (int i = 0; i < n; ++i) work[i] = EllipticStep(N, work[i], x, y, bk, ak);
  std::copy(x, x + N + 1, X);
  std::copy(y, y + N + 1, Y);
}

// Any other order (zero before the first selection).
void EllipticFilterBlock(int order, float* work, int n, float* X, float* Y, const float* bk,
                         const float* ak) noexcept {
  for (int i = 0; i < n; ++i) work[i] = EllipticStep(order, work[i], X, Y, bk, ak);
}

}  // namespace

void EllipticFilter::Process(float* work, int n) noexcept {
  const std::int32_t requests = clearRequests.load();
  if (requests != clearsDone) {
    // Entries above the current order are never read before the next selection
    // clears them again, so clearing up to the highest order of any set is the
    // same as clearing X[0..N] and Y[0..N].
    std::fill(X_, X_ + kMaxSetOrder + 1, 0.0f);
    std::fill(Y_, Y_ + kMaxSetOrder + 1, 0.0f);
    clearsDone = requests;
  }
  const int N = std::clamp(static_cast<int>(order.load()), 0, kStorage - 1);
  float bk[kStorage];
  float ak[kStorage];
  for (int k = 0; k <= N; ++k) {
    bk[k] = b[k].load();
    ak[k] = a[k].load();
  }
  switch (N) {
    case 5:
      EllipticFilterBlock<5>(work, n, X_, Y_, bk, ak);
      break;
    case 6:
      EllipticFilterBlock<6>(work, n, X_, Y_, bk, ak);
      break;
    default:
      EllipticFilterBlock(N, work, n, X_, Y_, bk, ak);
      break;
  }
}

}  // namespace fw
