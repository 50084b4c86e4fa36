#pragma once
// The second-order band-pass section shared by the graphic equalisers and the
// tube banks: peak gain 1 at the centre, zeros at 0 Hz and at half the rate.
// Designs run in double on the window thread and are stored as float words;
// the audio side keeps the section state in plain floats.
#include "engine/word.h"

namespace fw {

struct BandpassCoefficients {
  float A = 0.0f;
  float B = 0.0f;
  float E = 0.0f;
};

// Design rule for centre f and width w (hertz) at rate fs.
BandpassCoefficients DesignBandpass(double f, double w, double fs) noexcept;

// One step of a section: y = (x - x2 - B*y1 - E*y2) / A, each float operation in
// this order. Every bank in the program goes through this one formula.
inline float BandpassOutput(float x, float x2, float y1, float y2, float A, float B, float E) noexcept {
  return (x - x2 - B * y1 - E * y2) / A;
}

// A bank of N sections whose coefficients the window thread may redesign while
// the audio side runs; the step loops read a snapshot taken once per block.
template <int N>
struct BandpassBankCoefficients {
  FloatWord A[N];
  FloatWord B[N];
  FloatWord E[N];

  void Design(int band, double f, double w, double fs) noexcept {
    const BandpassCoefficients c = DesignBandpass(f, w, fs);
    A[band].store(c.A);
    B[band].store(c.B);
    E[band].store(c.E);
  }
  BandpassCoefficients Get(int band) const noexcept {
    return {A[band].load(), B[band].load(), E[band].load()};
  }
};

// Plain-float snapshot of a bank's coefficients, laid out band by band so the
// step over all bands of one sample vectorises.
template <int N>
struct BandpassBankSnapshot {
  float A[N];
  float B[N];
  float E[N];

  explicit BandpassBankSnapshot(const BandpassBankCoefficients<N>& c) noexcept {
    for (int b = 0; b < N; ++b) {
      A[b] = c.A[b].load();
      B[b] = c.B[b].load();
      E[b] = c.E[b].load();
    }
  }
};

// Section memories of a bank: previous two inputs and outputs per band.
template <int N>
struct BandpassBankState {
  float x1[N] = {};
  float x2[N] = {};
  float y1[N] = {};
  float y2[N] = {};

  // Runs every section b on its own input in[b], giving out[b]. The bands are
  // independent, so the loop runs them side by side.
  void Step(const BandpassBankSnapshot<N>& c, const float* in, float* out) noexcept {
    for (int b = 0; b < N; ++b) {
      const float x = in[b];
      const float y = BandpassOutput(x, x2[b], y1[b], y2[b], c.A[b], c.B[b], c.E[b]);
      x2[b] = x1[b];
      x1[b] = x;
      y2[b] = y1[b];
      y1[b] = y;
      out[b] = y;
    }
  }
  // The same with one input for every band (the parallel banks).
  void Step(const BandpassBankSnapshot<N>& c, float x, float* out) noexcept {
    for (int b = 0; b < N; ++b) {
      const float y = BandpassOutput(x, x2[b], y1[b], y2[b], c.A[b], c.B[b], c.E[b]);
      x2[b] = x1[b];
      x1[b] = x;
      y2[b] = y1[b];
      y1[b] = y;
      out[b] = y;
    }
  }
};

}  // namespace fw
