#pragma once
// The loop-back measurement on a sound card whose output is cabled to its input: the
// device callback adds the click probe to what the card captured and records what the
// card captured before that, so the clicks come back after the whole round trip.
#include <atomic>
#include <cstdint>
#include <vector>

#include "audio/capture_tap.h"
#include "audio/click_probe.h"

namespace fw {

class ClickTap final : public CaptureTap {
 public:
  // Records up to `frames` frames.
  ClickTap(ClickProbe probe, std::size_t frames) : probe_(probe), heard_(frames, 0.0f) {}

  void Process(const float* in, float* out, int n, std::int64_t frame) noexcept override {
    if (start_ < 0) start_ = frame;
    const std::int64_t base = frame - start_;
    for (int i = 0; i < n; ++i) {
      const auto k = static_cast<std::size_t>(base + i);
      if (k < heard_.size()) heard_[k] = in[i];
      out[i] = in[i] + probe_.At(base + i);
    }
    recorded_.store(base + n, std::memory_order_release);
  }

  std::int64_t Recorded() const noexcept { return recorded_.load(std::memory_order_acquire); }
  // Read once the tap is detached.
  const std::vector<float>& Heard() const { return heard_; }
  const ClickProbe& Probe() const { return probe_; }

 private:
  ClickProbe probe_;
  std::vector<float> heard_;
  std::int64_t start_ = -1;
  std::atomic<std::int64_t> recorded_{0};
};

}  // namespace fw
