#pragma once
// A level meter's words: the audio side folds each block's peak in and counts the
// blocks that reached the limit; the window's timer takes the peak and watches the
// count. Relaxed words only: no allocation, lock or wait on the audio side.
#include <cstdint>

#include "core/word.h"
#include "engine/peak_level.h"

namespace fw {

// Full scale of the 16-bit samples the meters see.
inline constexpr float kMeterFullScale = 32767.0f;
// Where the meters' limits lie: the input's converter and the chain's output limiter.
inline constexpr float kInputClipLimit = 32767.0f;
inline constexpr float kOutputClipLimit = 32000.0f;

class LevelMeter {
 public:
  // Audio side: one block of samples; a sample whose magnitude reaches `limit` clips.
  template <class Sample>
  void Take(const Sample* samples, int n, float limit) noexcept {
    const float blockPeak = BlockPeak(samples, n, 0.0f);
    if (blockPeak >= limit) clips_.store(clips_.load() + 1);
    // A take between the load and the store sees this block's peak next time: a
    // peak shows late at worst, never not at all.
    const float peak = peak_.load();
    if (blockPeak > peak) peak_.store(blockPeak);
  }

  // Window side: the largest magnitude since the last take (0 .. 32768).
  float TakePeak() noexcept {
    const float peak = peak_.load();
    peak_.compare_exchange(peak, 0.0f);  // a larger peak stored meanwhile stays for the next take
    return peak;
  }
  // Window side: blocks that clipped so far; a change means a new clip.
  std::int32_t Clips() const noexcept { return clips_.load(); }

 private:
  FloatWord peak_{0.0f};
  IntWord clips_{0};
};

struct LevelMeters {
  LevelMeter input;   // the 16-bit input before any gain
  LevelMeter output;  // what the chain hands back
};

}  // namespace fw
