#pragma once
// Tap tempo: the mean interval of the last taps; a pause of more than two seconds
// starts over.
#include <array>
#include <cstdint>
#include <optional>

namespace fw {

class TapTempo {
 public:
  static constexpr std::int64_t kPauseMs = 2000;
  static constexpr int kTapsKept = 4;

  // A tap at `nowMs`; the mean interval in ms once two taps belong together.
  std::optional<double> Tap(std::int64_t nowMs);

 private:
  std::array<std::int64_t, kTapsKept> taps_{};
  int count_ = 0;
};

}  // namespace fw
