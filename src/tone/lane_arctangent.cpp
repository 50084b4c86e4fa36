// The eight-lane code is only ever inlined into a function built for AVX2
// (target("avx2"), flatten), so no eight-lane vector crosses a call.
#pragma GCC diagnostic ignored "-Wpsabi"

#include "tone/lane_arctangent.h"

#include <cmath>
#include <cstdint>

namespace fw {
namespace {

template <int W>
struct IntLaneVector;
template <>
struct IntLaneVector<4> {
  using type = std::int32_t __attribute__((vector_size(16)));
};
template <>
struct IntLaneVector<8> {
  using type = std::int32_t __attribute__((vector_size(32)));
};
template <int W>
using IntLanes = typename IntLaneVector<W>::type;

// The reduction, its constants and the polynomial are those of the C library's atanf,
// which comes from fdlibm and carries this notice:
//   Copyright (C) 1993 by Sun Microsystems, Inc. All rights reserved.
//   Developed at SunPro, a Sun Microsystems, Inc. business.
//   Permission to use, copy, modify, and distribute this software is freely granted,
//   provided that this notice is preserved.
// atan(x) = atan(c) + atan(t) with t small, for c = 0.5, 1, 1.5 and infinity; atan(c)
// is split in a high and a low part.
constexpr float kAtanHigh[4] = {4.6364760399e-01f, 7.8539812565e-01f, 9.8279368877e-01f, 1.5707962513e+00f};
constexpr float kAtanLow[4] = {5.0121582440e-09f, 3.7748947079e-08f, 3.4473217170e-08f, 7.5497894159e-08f};
constexpr float kOdd[6] = {3.3333334327e-01f, 1.4285714924e-01f, 9.0908870101e-02f,
                           6.6610731184e-02f, 4.9768779427e-02f, 1.6285819933e-02f};
constexpr float kEven[5] = {-2.0000000298e-01f, -1.1111110449e-01f, -7.6918758452e-02f, -5.8335702866e-02f,
                            -3.6531571299e-02f};

// The same bits seen as another type of vector (std::bit_cast of a vector trips
// UBSan's null check in GCC 12).
template <class To, class From>
[[gnu::always_inline]] inline To SameBits(const From& from) noexcept {
  static_assert(sizeof(To) == sizeof(From));
  To to;
  __builtin_memcpy(&to, &from, sizeof to);
  return to;
}

// A value in every lane, inlined here: a call to an eight-lane helper built
// without AVX2 would pass the vector the wrong way in an unoptimised build.
template <int W>
[[gnu::always_inline]] inline Lanes<W> Splat(float value) noexcept {
  return value - Lanes<W>{};
}

template <int W>
[[gnu::always_inline]] inline Lanes<W> ArctangentLanes(Lanes<W> x) noexcept {
  using F = Lanes<W>;
  using I = IntLanes<W>;
  const I hx = SameBits<I>(x);
  const I ix = hx & 0x7fffffff;
  const F ax = SameBits<F>(ix);

  // |x| below 0.4375 is taken as it is; above, the reduction of its range.
  const I plain = ix < 0x3ee00000;
  const I belowHalfRange = ix < 0x3f300000;    // 0.6875
  const I belowOneRange = ix < 0x3f980000;     // 1.1875
  const I belowThreeHalves = ix < 0x401c0000;  // 2.4375
  const F reducedHalf = (2.0f * ax - 1.0f) / (2.0f + ax);
  const F reducedOne = (ax - 1.0f) / (ax + 1.0f);
  const F reducedThreeHalves = (ax - 1.5f) / (1.0f + 1.5f * ax);
  const F reducedInfinity = -1.0f / ax;
  const F t =
      plain
          ? x
          : (belowHalfRange
                 ? reducedHalf
                 : (belowOneRange ? reducedOne : (belowThreeHalves ? reducedThreeHalves : reducedInfinity)));
  const F high = belowHalfRange
                     ? Splat<W>(kAtanHigh[0])
                     : (belowOneRange ? Splat<W>(kAtanHigh[1])
                                      : (belowThreeHalves ? Splat<W>(kAtanHigh[2]) : Splat<W>(kAtanHigh[3])));
  const F low = belowHalfRange
                    ? Splat<W>(kAtanLow[0])
                    : (belowOneRange ? Splat<W>(kAtanLow[1])
                                     : (belowThreeHalves ? Splat<W>(kAtanLow[2]) : Splat<W>(kAtanLow[3])));

  const F z = t * t;
  const F w = z * z;
  const F s1 = z * (kOdd[0] + w * (kOdd[1] + w * (kOdd[2] + w * (kOdd[3] + w * (kOdd[4] + w * kOdd[5])))));
  const F s2 = w * (kEven[0] + w * (kEven[1] + w * (kEven[2] + w * (kEven[3] + w * kEven[4]))));
  const F tail = t * (s1 + s2);
  const F reduced = high - ((tail - low) - t);
  F result = plain ? t - tail : (hx < 0 ? -reduced : reduced);

  // Tiny values are their own arctangent; from 2^25 on, +-pi/2; NaN stays NaN.
  constexpr float kHalfPi = kAtanHigh[3] + kAtanLow[3];
  result = ix < 0x31000000 ? x : result;
  result = ix >= 0x4c000000 ? (hx > 0 ? Splat<W>(kHalfPi) : Splat<W>(-kHalfPi)) : result;
  return ix > 0x7f800000 ? x + x : result;
}

template <int W>
[[gnu::always_inline]] inline void ArctangentInLanes(float* values, int n) noexcept {
  int i = 0;
  for (; i + W <= n; i += W) {
    Lanes<W> v;
    __builtin_memcpy(&v, values + i, sizeof v);
    v = ArctangentLanes<W>(v);
    __builtin_memcpy(values + i, &v, sizeof v);
  }
  for (; i < n; ++i) values[i] = std::atan(values[i]);
}

__attribute__((target("avx2"), flatten)) void ArctangentInEightLanes(float* values, int n) noexcept {
  ArctangentInLanes<8>(values, n);
}

}  // namespace

void ArctangentInPlace(float* values, int n, BankWidth width) noexcept {
  if (width == BankWidth::kEight) {
    ArctangentInEightLanes(values, n);
  } else {
    ArctangentInLanes<kLanes>(values, n);
  }
}

}  // namespace fw
