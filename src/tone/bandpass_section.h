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
inline T BandpassOutput(const T& x, const T& x2, const T& y1, const T& y2, const T& A, const T& B,
                        const T& E) noexcept {
  return (x - x2 - B * y1 - E * y2) / A;
}

// Band lanes: four bands in one SSE vector, or eight in one AVX2 vector on a CPU
// that has it. Either width runs the same operations per lane in the same order,
// so both give the same bits.
template <int W>
struct LaneVector;
template <>
struct LaneVector<4> {
  using type = float __attribute__((vector_size(16)));
};
template <>
struct LaneVector<8> {
  using type = float __attribute__((vector_size(32)));
};
template <int W>
using Lanes = typename LaneVector<W>::type;
using BandLanes = Lanes<4>;
inline constexpr int kLanes = 4;
constexpr int LaneVectors(int bands, int width = kLanes) { return (bands + width - 1) / width; }

// value in every lane; value - 0 keeps -0 (0 + value would turn it into +0).
template <int W>
inline Lanes<W> Broadcast(float value) noexcept {
  return value - Lanes<W>{};
}

enum class BankWidth { kFour, kEight };
// Eight lanes where the CPU has AVX2, else four; libgcc reads the CPU at start-up.
inline BankWidth WidestBankWidth() noexcept {
  return __builtin_cpu_supports("avx2") ? BankWidth::kEight : BankWidth::kFour;
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

// Plain-float snapshot of a bank's coefficients in lanes. Lanes past band N-1
// hold A = 1, B = E = 0: they compute a bounded difference nobody reads.
template <int N, int W = kLanes>
struct BandpassBankSnapshot {
  static constexpr int kVectors = LaneVectors(N, W);
  Lanes<W> A[kVectors];
  Lanes<W> B[kVectors];
  Lanes<W> E[kVectors];

  explicit BandpassBankSnapshot(const BandpassBankCoefficients<N>& c) noexcept {
    for (int b = 0; b < kVectors * W; ++b) {
      const bool real = b < N;
      A[b / W][b % W] = real ? c.A[b].load() : 1.0f;
      B[b / W][b % W] = real ? c.B[b].load() : 0.0f;
      E[b / W][b % W] = real ? c.E[b].load() : 0.0f;
    }
  }
};

// Section memories of a bank: previous two inputs and outputs per band.
// The persistent state is kept four lanes wide; the eight-lane path works on a
// copy in its own width for one block (lanes past band N-1 start from zero each
// time, which nobody reads).
template <int N, int W = kLanes>
struct BandpassBankState {
  static constexpr int kVectors = LaneVectors(N, W);
  Lanes<W> x1[kVectors] = {};
  Lanes<W> x2[kVectors] = {};
  Lanes<W> y1[kVectors] = {};
  Lanes<W> y2[kVectors] = {};

  float LastOutput(int band) const noexcept { return y1[band / W][band % W]; }

  // The same band memories in lanes of width W2.
  template <int W2>
  BandpassBankState<N, W2> Relaned() const noexcept {
    if constexpr (W2 == W) return *this;
    BandpassBankState<N, W2> r;
    for (int b = 0; b < N; ++b) {
      r.x1[b / W2][b % W2] = x1[b / W][b % W];
      r.x2[b / W2][b % W2] = x2[b / W][b % W];
      r.y1[b / W2][b % W2] = y1[b / W][b % W];
      r.y2[b / W2][b % W2] = y2[b / W][b % W];
    }
    return r;
  }

  // Runs every section on its own input in[v] (the cascade's second level).
  void Step(const BandpassBankSnapshot<N, W>& c, const Lanes<W>* in, Lanes<W>* out) noexcept {
    for (int v = 0; v < kVectors; ++v) {
      const Lanes<W> x = in[v];
      const Lanes<W> y = BandpassOutput(x, x2[v], y1[v], y2[v], c.A[v], c.B[v], c.E[v]);
      x2[v] = x1[v];
      x1[v] = x;
      y2[v] = y1[v];
      y1[v] = y;
      out[v] = y;
    }
  }
  // The same with one input for every band (the parallel banks).
  void Step(const BandpassBankSnapshot<N, W>& c, float input, Lanes<W>* out) noexcept {
    const Lanes<W> x = Broadcast<W>(input);
    for (int v = 0; v < kVectors; ++v) {
      const Lanes<W> y = BandpassOutput(x, x2[v], y1[v], y2[v], c.A[v], c.B[v], c.E[v]);
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

// The same for rows of eight lanes (any band count): each group of four samples
// is transposed into one vector per band, added in band order in double.
template <int kVectors>
void SumBandsInOrder(const Lanes<8> (*rows)[kVectors], int count, int bands, double scale,
                     float* out) noexcept {
  using Doubles = double __attribute__((vector_size(32)));
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    Doubles sum = {};
    for (int v = 0; v < kVectors; ++v) {
      const Lanes<8> r0 = rows[i][v], r1 = rows[i + 1][v], r2 = rows[i + 2][v], r3 = rows[i + 3][v];
      // Within each half: bands 0, 1 (4, 5) of two samples, and bands 2, 3 (6, 7).
      const Lanes<8> low01 = __builtin_shufflevector(r0, r1, 0, 8, 1, 9, 4, 12, 5, 13);
      const Lanes<8> low23 = __builtin_shufflevector(r2, r3, 0, 8, 1, 9, 4, 12, 5, 13);
      const Lanes<8> high01 = __builtin_shufflevector(r0, r1, 2, 10, 3, 11, 6, 14, 7, 15);
      const Lanes<8> high23 = __builtin_shufflevector(r2, r3, 2, 10, 3, 11, 6, 14, 7, 15);
      const BandLanes band[8] = {__builtin_shufflevector(low01, low23, 0, 1, 8, 9),
                                 __builtin_shufflevector(low01, low23, 2, 3, 10, 11),
                                 __builtin_shufflevector(high01, high23, 0, 1, 8, 9),
                                 __builtin_shufflevector(high01, high23, 2, 3, 10, 11),
                                 __builtin_shufflevector(low01, low23, 4, 5, 12, 13),
                                 __builtin_shufflevector(low01, low23, 6, 7, 14, 15),
                                 __builtin_shufflevector(high01, high23, 4, 5, 12, 13),
                                 __builtin_shufflevector(high01, high23, 6, 7, 14, 15)};
      for (int k = 0; k < 8 && v * 8 + k < bands; ++k) sum += __builtin_convertvector(band[k], Doubles);
    }
    const BandLanes result = __builtin_convertvector(sum * scale, BandLanes);
    for (int k = 0; k < 4; ++k) out[i + k] = result[k];
  }
  for (; i < count; ++i) {
    double s = 0.0;
    for (int b = 0; b < bands; ++b) s += static_cast<double>(rows[i][b / 8][b % 8]);
    out[i] = static_cast<float>(s * scale);
  }
}

// Runs a bank over buffer[0 .. n-1] in place: each band's output times its float
// weight, then the weighted bands summed in double in band order and scaled. The
// equalisers and the voicing bank are this with their own weights.
template <int kBands, int W>
[[gnu::always_inline]] inline void RunWeightedBank(BandpassBankState<kBands, W>& s,
                                                   const BandpassBankSnapshot<kBands, W>& c,
                                                   const Lanes<W> (&weight)[LaneVectors(kBands, W)],
                                                   double scale, float* buffer, int n) noexcept {
  constexpr int kVectors = LaneVectors(kBands, W);
  constexpr int kChunk = 64;  // samples per pass; their band sums run four at a time
  Lanes<W> weighted[kChunk][kVectors];
  for (int start = 0; start < n; start += kChunk) {
    const int count = std::min(kChunk, n - start);
    for (int i = 0; i < count; ++i) {
      Lanes<W> y[kVectors];
      s.Step(c, buffer[start + i], y);
      for (int v = 0; v < kVectors; ++v) weighted[i][v] = y[v] * weight[v];
    }
    SumBandsInOrder<kVectors>(weighted, count, kBands, scale, buffer + start);
  }
}

// Per-band weights in lanes of width W from a function of the band index.
template <int kBands, int W, class WeightOf>
void FillBandWeights(Lanes<W> (&weight)[LaneVectors(kBands, W)], WeightOf weightOf) noexcept {
  for (int b = 0; b < LaneVectors(kBands, W) * W; ++b) weight[b / W][b % W] = weightOf(b);
}

}  // namespace fw
