#include "tone/graphic_equalisers.h"

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
  const BandpassBankSnapshot<kEqualiserBands> c(coefficients);
  float gain[kEqualiserBands];
  for (int b = 0; b < kEqualiserBands; ++b) gain[b] = BandGain[b].load();
  const double outputGain = EqOutputGain.load();
  auto s = state;  // a local copy stays in registers and cannot alias the buffer
  for (int i = 0; i < n; ++i) {
    float y[kEqualiserBands];
    s.Step(c, buffer[i], y);
    // Each band's product is a float product; the sum runs in double, band 0 first.
    double sum = 0.0;
    for (int b = 0; b < kEqualiserBands; ++b) sum += static_cast<double>(y[b] * gain[b]);
    buffer[i] = static_cast<float>(sum * outputGain);
  }
  state = s;
}

}  // namespace fw
