#pragma once
// Conversions to 16-bit output: round to nearest (ties to even, the FPU default)
// and clamp to -32000..32000, the range every driver and record tap uses.
#include <cmath>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fw {

inline constexpr float kOutputLimit = 32000.0f;

inline float ClampToOutputRange(float v) noexcept {
  if (v > kOutputLimit) return kOutputLimit;
  if (v < -kOutputLimit) return -kOutputLimit;
  if (v != v) return 0.0f;  // a NaN from a runaway filter becomes silence, not undefined behaviour
  return v;
}

// Round to nearest, ties to even, as the FPU does in its default mode. Values far
// outside the 16-bit range saturate so that the integer conversion stays defined.
inline std::int32_t RoundToInt(float v) noexcept {
  constexpr float kSaturation = 1.0e9f;
  if (v > kSaturation) return 1000000000;
  if (v < -kSaturation) return -1000000000;
  if (v != v) return 0;
#if defined(__SSE2__)
  // One cvtss2si: it rounds in the current mode, nearest with ties to even, as
  // nearbyint does, without the library call.
  return _mm_cvtss_si32(_mm_set_ss(v));
#else
  return static_cast<std::int32_t>(std::nearbyint(v));
#endif
}

// clamp, then round: the order of the record taps and the output conversions.
inline std::int16_t ClampRound16(float v) noexcept {
  return static_cast<std::int16_t>(RoundToInt(ClampToOutputRange(v)));
}

inline std::int32_t ClampInt(std::int32_t v, std::int32_t lo, std::int32_t hi) noexcept {
  return v < lo ? lo : (v > hi ? hi : v);
}

}  // namespace fw
