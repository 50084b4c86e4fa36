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

void GraphicEqualiser::Process(float* buffer, int n) noexcept {
  using Bank = BandpassBankState<kEqualiserBands>;
  const BandpassBankSnapshot<kEqualiserBands> c(coefficients);
  BandLanes gain[Bank::kVectors] = {};
  for (int b = 0; b < kEqualiserBands; ++b) gain[b / kLanes][b % kLanes] = BandGain[b].load();
  RunWeightedBank<kEqualiserBands>(state_, c, gain, EqOutputGain.load(), buffer, n);
}

}  // namespace fw
