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

namespace {

// Samples per pass: the band outputs of a pass are summed four samples at a time.
constexpr int kChunk = 64;

}  // namespace

void GraphicEqualiser::Process(float* buffer, int n) noexcept {
  using Bank = BandpassBankState<kEqualiserBands>;
  const BandpassBankSnapshot<kEqualiserBands> c(coefficients);
  BandLanes gain[Bank::kVectors] = {};
  for (int b = 0; b < kEqualiserBands; ++b) gain[b / kLanes][b % kLanes] = BandGain[b].load();
  const double outputGain = EqOutputGain.load();
  Bank s = state;  // a local copy stays in registers and cannot alias the buffer
  BandLanes weighted[kChunk][Bank::kVectors];
  for (int start = 0; start < n; start += kChunk) {
    const int count = std::min(kChunk, n - start);
    for (int i = 0; i < count; ++i) {
      BandLanes y[Bank::kVectors];
      s.Step(c, buffer[start + i], y);
      // Each band's product with its gain is a float product.
      for (int v = 0; v < Bank::kVectors; ++v) weighted[i][v] = y[v] * gain[v];
    }
    SumBandsInOrder<Bank::kVectors>(weighted, count, kEqualiserBands, outputGain, buffer + start);
  }
  state = s;
}

}  // namespace fw
