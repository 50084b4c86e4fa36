// The eight-lane bank code is only ever inlined into functions built for AVX2
// (target("avx2"), flatten), so no eight-lane vector crosses a call.
#pragma GCC diagnostic ignored "-Wpsabi"

#include "tone/graphic_equalisers.h"

#include <algorithm>

namespace fw {

double SliderLaw(int v) noexcept {
  if (v >= 50) return (v - 50) / 5.0 + 1.0;
  return 1.0 / ((50 - v) / 5.0 + 1.0);
}

void GraphicEqualiser::Design(float fs) noexcept {
  for (int b = 0; b < kEqualiserBands; ++b) BandGain[b].store(kNeutralBandGain);
  EqOutputGain.store(kNeutralEqOutputGain);
  for (int b = 0; b < kEqualiserBands; ++b) {
    coefficients.Design(b, kEqualiserLayout[b].centre, kEqualiserLayout[b].width, fs);
  }
}

void GraphicEqualiser::SetBandGain(int band, int v) noexcept {
  if (band < 1 || band >= kEqualiserBands) return;
  BandGain[band].store(static_cast<float>(10.0 * SliderLaw(v)));
}

__attribute__((target("avx2"), flatten)) void GraphicEqualiser::ProcessInEightLanes(float* buffer,
                                                                                    int n) noexcept {
  Run<8>(*this).Process(buffer, n);
}

void GraphicEqualiser::Process(float* buffer, int n, BankWidth width) noexcept {
  if (width == BankWidth::kEight) {
    ProcessInEightLanes(buffer, n);
  } else {
    Run<kLanes>(*this).Process(buffer, n);
  }
}

}  // namespace fw
