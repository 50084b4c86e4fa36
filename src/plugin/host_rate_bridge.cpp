#include "plugin/host_rate_bridge.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "audio/linux/speex_rate_converter.h"

namespace fw::plugin {

HostRateBridge::HostRateBridge(int hostRate, int engineRate)
    : down_(MakeSpeexRateConverter(1, hostRate, engineRate)),
      up_(MakeSpeexRateConverter(2, engineRate, hostRate)) {
  if (down_ == nullptr || up_ == nullptr || hostRate <= engineRate) {
    throw std::runtime_error("no resampler from " + std::to_string(hostRate) + " Hz");
  }
  // The down converter's delay counts in engine frames; the host hears it scaled. Each
  // converter gives a frame out as soon as its input is in, so after any call the
  // frames made lag the frames taken by no more than this (block lengths from 1 up).
  const double downDelay = down_->LatencyFrames() * static_cast<double>(hostRate) / engineRate;
  latency_ = static_cast<int>(std::ceil(downDelay)) + up_->LatencyFrames();
  if (latency_ + 2 * kHostChunk > kReadyCapacity) {
    throw std::runtime_error("resampler delay too long at " + std::to_string(hostRate) + " Hz");
  }
  Reset();
}

void HostRateBridge::Reset() noexcept {
  down_->Reset();
  up_->Reset();
  // The converters start without their delay (they skip the leading zeros), so the
  // output waits the whole latency here and holds it from then on.
  std::fill(ready_, ready_ + 2 * latency_, 0.0f);
  readyFrames_ = latency_;
}

int HostRateBridge::Down(const float* in, int count) noexcept {
  std::uint32_t inFrames = static_cast<std::uint32_t>(count);
  std::uint32_t outFrames = kEngineChunk;
  down_->Process(in, inFrames, engineIn_, outFrames);
  return static_cast<int>(outFrames);
}

void HostRateBridge::Up(int engineFrames) noexcept {
  for (int i = 0; i < engineFrames; ++i) {
    engineStereo_[2 * i] = engineLeft_[i];
    engineStereo_[2 * i + 1] = engineRight_[i];
  }
  std::uint32_t inFrames = static_cast<std::uint32_t>(engineFrames);
  std::uint32_t outFrames = static_cast<std::uint32_t>(kReadyCapacity - readyFrames_);
  up_->Process(engineStereo_, inFrames, ready_ + 2 * readyFrames_, outFrames);
  readyFrames_ += static_cast<int>(outFrames);
}

void HostRateBridge::Take(float* left, float* right, int count) noexcept {
  const int given = std::min(count, readyFrames_);
  for (int i = 0; i < given; ++i) {
    left[i] = ready_[2 * i];
    right[i] = ready_[2 * i + 1];
  }
  std::fill(left + given, left + count, 0.0f);
  std::fill(right + given, right + count, 0.0f);
  readyFrames_ -= given;
  std::copy(ready_ + 2 * given, ready_ + 2 * (given + readyFrames_), ready_);
}

}  // namespace fw::plugin
