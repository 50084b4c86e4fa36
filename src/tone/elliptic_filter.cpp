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

int EllipticFilter::BeginBlock() noexcept {
  const std::int32_t requests = clearRequests.load();
  if (requests != clearsDone) {
    // Entries above the current order are never read before the next selection
    // clears them again, so clearing up to the highest order of any set is the
    // same as clearing X[0..N] and Y[0..N].
    std::fill(X_, X_ + kMaxSetOrder + 1, 0.0f);
    std::fill(Y_, Y_ + kMaxSetOrder + 1, 0.0f);
    clearsDone = requests;
  }
  return std::clamp(static_cast<int>(order.load()), 0, kStorage - 1);
}

namespace {

template <int N>
void FilterBlock(EllipticFilter& f, float* work, int n) noexcept {
  EllipticFilter::Run<N> run(f);
  for (int i = 0; i < n; ++i) work[i] = run.Step(work[i]);
}

}  // namespace

void EllipticFilter::Process(float* work, int n) noexcept {
  const int N = BeginBlock();
  switch (N) {
    case 5:
      FilterBlock<5>(*this, work, n);
      break;
    case 6:
      FilterBlock<6>(*this, work, n);
      break;
    default: {
      // Any other order (zero before the first selection).
      float bk[kStorage];
      float ak[kStorage];
      for (int k = 0; k <= N; ++k) {
        bk[k] = b[k].load();
        ak[k] = a[k].load();
      }
      for (int i = 0; i < n; ++i) work[i] = Step(N, work[i], X_, Y_, bk, ak);
      break;
    }
  }
}

}  // namespace fw
