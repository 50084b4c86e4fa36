#pragma once
// A loop-back delay measurement: single-sample clicks at a fixed interval go out, and
// the delay is where each comes back loudest. Both sides are indexed by one frame count.
#include <cstdint>
#include <vector>

namespace fw {

struct ClickProbe {
  int interval = 11025;  // frames between clicks
  int longest = 8192;    // the longest delay looked for, frames
  float level = 0.5f;

  // The probe's signal at `frame` (frames before 0 are silent).
  float At(std::int64_t frame) const noexcept { return frame >= 0 && frame % interval == 0 ? level : 0.0f; }
  // The delay of every click from `from` on whose answer lies wholly within `heard`
  // (heard[k] was heard at frame k); clicks heard too faintly give no delay.
  std::vector<int> Delays(const std::vector<float>& heard, std::int64_t from) const;
};

// The middle of the delays (the lower of the two middle ones); -1 when there are none.
int MedianDelay(std::vector<int> delays);

}  // namespace fw
