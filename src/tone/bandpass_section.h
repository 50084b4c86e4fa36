#pragma once
// The second-order band-pass section shared by the graphic equalisers and the
// tube banks: peak gain 1 at the centre, zeros at 0 Hz and at half the rate.
// Designs run in double on the window thread and are stored as float words;
// the audio side keeps the section state in plain floats.
//
// Banks run four bands side by side in one vector of floats. The vector
// operations are the same IEEE single-precision operations, one at a time in the
// written order, so every band gives exactly what the scalar step gives.
#include <algorithm>

#include "core/word.h"

namespace fw {

struct BandpassCoefficients {
  float A = 0.0f;
  float B = 0.0f;
  float E = 0.0f;
};

// Design rule for centre f and width w (hertz) at rate fs.
BandpassCoefficients DesignBandpass(double f, double w, double fs) noexcept;

// One step of a section: y = (x - x2 - B*y1 - E*y2) / A, each operation in this
// order. Every bank in the program goes through this one formula, on single
// floats or on four bands at once.
template <class T>
inline T BandpassOutput(T x, T x2, T y1, T y2, T A, T B, T E) noexcept {
  return (x - x2 - B * y1 - E * y2) / A;
}

using BandLanes = float __attribute__((vector_size(16)));  // four bands
inline constexpr int kLanes = 4;
constexpr int LaneVectors(int bands) { return (bands + kLanes - 1) / kLanes; }

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

// Plain-float snapshot of a bank's coefficients in lanes. Lanes past band N-1
// hold A = 1, B = E = 0: they compute a bounded difference nobody reads.
template <int N>
struct BandpassBankSnapshot {
  static constexpr int kVectors = LaneVectors(N);
  BandLanes A[kVectors];
  BandLanes B[kVectors];
  BandLanes E[kVectors];

  explicit BandpassBankSnapshot(const BandpassBankCoefficients<N>& c) noexcept {
    for (int b = 0; b < kVectors * kLanes; ++b) {
      const bool real = b < N;
      A[b / kLanes][b % kLanes] = real ? c.A[b].load() : 1.0f;
      B[b / kLanes][b % kLanes] = real ? c.B[b].load() : 0.0f;
      E[b / kLanes][b % kLanes] = real ? c.E[b].load() : 0.0f;
    }
  }
};

// Section memories of a bank: previous two inputs and outputs per band.
template <int N>
struct BandpassBankState {
  static constexpr int kVectors = LaneVectors(N);
  BandLanes x1[kVectors] = {};
  BandLanes x2[kVectors] = {};
  BandLanes y1[kVectors] = {};
  BandLanes y2[kVectors] = {};

  float LastOutput(int band) const noexcept { return y1[band / kLanes][band % kLanes]; }

  // Runs every section on its own input in[v] (the cascade's second level).
  void Step(const BandpassBankSnapshot<N>& c, const BandLanes* in, BandLanes* out) noexcept {
    for (int v = 0; v < kVectors; ++v) {
      const BandLanes x = in[v];
      const BandLanes y = BandpassOutput(x, x2[v], y1[v], y2[v], c.A[v], c.B[v], c.E[v]);
      x2[v] = x1[v];
      x1[v] = x;
      y2[v] = y1[v];
      y1[v] = y;
      out[v] = y;
    }
  }
  // The same with one input for every band (the parallel banks).
  void Step(const BandpassBankSnapshot<N>& c, float input, BandLanes* out) noexcept {
    const BandLanes x = {input, input, input, input};  // not 0 + input, which turns -0 into +0
    for (int v = 0; v < kVectors; ++v) {
      const BandLanes y = BandpassOutput(x, x2[v], y1[v], y2[v], c.A[v], c.B[v], c.E[v]);
      x2[v] = x1[v];
      x1[v] = x;
      y2[v] = y1[v];
      y1[v] = y;
      out[v] = y;
    }
  }
};

// out[i] = float(s_i * scale), where s_i sums the first `bands` band values of
// sample i in double, band 0 first. rows[i] holds sample i's bands in lanes.
// Four samples are summed side by side; each sample's sum keeps the band order.
template <int kVectors>
void SumBandsInOrder(const BandLanes (*rows)[kVectors], int count, int bands, double scale,
                     float* out) noexcept {
  using Pair = float __attribute__((vector_size(8)));
  using Doubles = double __attribute__((vector_size(16)));
  int i = 0;
  if (bands == kVectors * kLanes || bands == (kVectors - 1) * kLanes + 1) {
    const bool lastHasOneBand = bands != kVectors * kLanes;
    for (; i + 4 <= count; i += 4) {
      Doubles first = {};  // samples i, i+1
      Doubles last = {};   // samples i+2, i+3
      for (int v = 0; v < kVectors; ++v) {
        const BandLanes r0 = rows[i][v], r1 = rows[i + 1][v], r2 = rows[i + 2][v], r3 = rows[i + 3][v];
        // Lanes: band 4v of both samples, then band 4v+1 of both samples.
        const BandLanes lo01 = __builtin_shufflevector(r0, r1, 0, 4, 1, 5);
        const BandLanes lo23 = __builtin_shufflevector(r2, r3, 0, 4, 1, 5);
        first += __builtin_convertvector(__builtin_shufflevector(lo01, lo01, 0, 1), Doubles);
        last += __builtin_convertvector(__builtin_shufflevector(lo23, lo23, 0, 1), Doubles);
        if (lastHasOneBand && v == kVectors - 1) break;
        first += __builtin_convertvector(__builtin_shufflevector(lo01, lo01, 2, 3), Doubles);
        last += __builtin_convertvector(__builtin_shufflevector(lo23, lo23, 2, 3), Doubles);
        const BandLanes hi01 = __builtin_shufflevector(r0, r1, 2, 6, 3, 7);
        const BandLanes hi23 = __builtin_shufflevector(r2, r3, 2, 6, 3, 7);
        first += __builtin_convertvector(__builtin_shufflevector(hi01, hi01, 0, 1), Doubles);
        last += __builtin_convertvector(__builtin_shufflevector(hi23, hi23, 0, 1), Doubles);
        first += __builtin_convertvector(__builtin_shufflevector(hi01, hi01, 2, 3), Doubles);
        last += __builtin_convertvector(__builtin_shufflevector(hi23, hi23, 2, 3), Doubles);
      }
      const Doubles factor = {scale, scale};
      const Pair a = __builtin_convertvector(first * factor, Pair);
      const Pair b = __builtin_convertvector(last * factor, Pair);
      out[i] = a[0];
      out[i + 1] = a[1];
      out[i + 2] = b[0];
      out[i + 3] = b[1];
    }
  }
  for (; i < count; ++i) {
    double s = 0.0;
    for (int b = 0; b < bands; ++b) s += static_cast<double>(rows[i][b / kLanes][b % kLanes]);
    out[i] = static_cast<float>(s * scale);
  }
}

// Runs a bank over buffer[0 .. n-1] in place: each band's output times its float
// weight, then the weighted bands summed in double in band order and scaled. The
// equalisers and the voicing bank are this with their own weights.
template <int kBands>
void RunWeightedBank(BandpassBankState<kBands>& state, const BandpassBankSnapshot<kBands>& c,
                     const BandLanes (&weight)[BandpassBankState<kBands>::kVectors], double scale,
                     float* buffer, int n) noexcept {
  using Bank = BandpassBankState<kBands>;
  constexpr int kChunk = 64;  // samples per pass; their band sums run four at a time
  Bank s = state;             // a local copy stays in registers and cannot alias the buffer
  BandLanes weighted[kChunk][Bank::kVectors];
  for (int start = 0; start < n; start += kChunk) {
    const int count = std::min(kChunk, n - start);
    for (int i = 0; i < count; ++i) {
      BandLanes y[Bank::kVectors];
      s.Step(c, buffer[start + i], y);
      for (int v = 0; v < Bank::kVectors; ++v) weighted[i][v] = y[v] * weight[v];
    }
    SumBandsInOrder<Bank::kVectors>(weighted, count, kBands, scale, buffer + start);
  }
  state = s;
}

}  // namespace fw
