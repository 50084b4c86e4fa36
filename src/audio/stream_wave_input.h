#pragma once
// Wave input over a live device: device frames (resampled to the capture rate when
// the device runs at another) are gathered into the buffers the program adds; each
// full buffer goes back to the program through its callback on the device thread.
#include <atomic>
#include <cstdint>
#include <memory>

#include "audio/rate_converter.h"
#include "audio/wave_input.h"

namespace fw {

class LiveAudio;

class StreamWaveInput final : public WaveInput {
 public:
  static constexpr int kQueueSize = 512;  // headers waiting to be filled, power of two
  static constexpr int kMaxChunk = 256;   // device frames per feed step

  explicit StreamWaveInput(LiveAudio& host);
  ~StreamWaveInput() override;

  std::int32_t Open(std::int32_t deviceId, const WaveFormat& format, WaveInCallback callback,
                    std::uintptr_t instance, std::uint32_t flags) override;
  std::int32_t AddBuffer(WaveInHeader* header, std::uint32_t headerSize) noexcept override;
  std::int32_t Start() override;
  std::int32_t Stop() override;
  std::int32_t Reset() override;
  std::int32_t Close() override;
  std::int32_t GetDevCaps(std::int32_t deviceId, WaveInCaps* caps) override;

  // Device thread: `frames` (at most kMaxChunk) device samples; `deviceFrame` counts
  // the device's frames since it started.
  void Feed(const float* input, int frames, std::int64_t deviceFrame) noexcept;
  // The device frame of the first sample gathered since Start, or -1.
  std::int64_t FirstFrame() const noexcept { return firstFrame_.load(std::memory_order_relaxed); }
  // Samples gathered into the buffer being filled (engine rate).
  int Gathered() const noexcept { return started_.load(std::memory_order_relaxed) ? gathered_ : 0; }

  bool IsOpen() const noexcept { return open_.load(); }
  bool IsStarted() const noexcept { return started_.load(); }
  int QueuedBuffers() const noexcept;
  // Samples that arrived while no buffer was waiting.
  std::int32_t DroppedSamples() const noexcept { return dropped_.load(std::memory_order_relaxed); }
  std::int32_t Rate() const noexcept { return rate_; }

 private:
  void Gather(const float* samples, int count) noexcept;
  void Notify(std::uint32_t message, WaveInHeader* header) noexcept;
  void ReturnQueued() noexcept;

  LiveAudio& host_;
  std::atomic<bool> open_{false};
  std::atomic<bool> started_{false};
  WaveInCallback callback_{};
  std::uintptr_t instance_ = 0;
  std::int32_t rate_ = 0;
  std::unique_ptr<RateConverter> converter_;  // device rate to capture rate, mono

  WaveInHeader* queue_[kQueueSize] = {};
  std::atomic<std::uint32_t> head_{0};  // next to fill
  std::atomic<std::uint32_t> tail_{0};  // next free slot
  int gathered_ = 0;
  float converted_[kMaxChunk * 4] = {};
  std::atomic<std::int32_t> dropped_{0};
  std::atomic<std::int64_t> firstFrame_{-1};
};

}  // namespace fw
