#pragma once
// The output library over a live device: processed blocks wait in a queue that the
// device callback plays. With setup_auto(1) playing starts at the smallest delay the
// device holds (measured over the first moments) and an underrun lengthens it by 50
// samples, up to the latency setting plus one block; with setup_auto(0) the delay is
// the latency setting plus one block. insert_buffer and skip_buffer move it by 50
// samples with a short crossfade. A chorus delay above 0 plays the stereo chorus, in
// mono and stereo set-ups alike; 0 plays the block on both channels.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/output_library.h"
#include "audio/rate_converter.h"
#include "audio/stereo_chorus.h"

namespace fw {

class LiveAudio;

class OutputQueueLibrary final : public OutputLibrary {
 public:
  static constexpr int kRingSize = 1 << 16;  // engine samples, power of two
  static constexpr int kShiftSamples = 50;   // one insert_buffer / skip_buffer
  static constexpr int kFadeSamples = 64;    // crossfade that hides the shift
  static constexpr int kMaxChunk = 256;      // device frames per render step
  // The most samples in flight the queue is asked to hold, with room left for the blocks
  // being written and read around them; the automatic delay stops here too.
  static constexpr int kMaxDelay = kRingSize / 4;
  // Engine samples the automatic delay watches the device before it starts playing.
  static constexpr int kMeasureSamples = 16384;

  explicit OutputQueueLibrary(LiveAudio& host);
  ~OutputQueueLibrary() override;

  void setup_ks_prefered() override;
  std::int32_t get_wdm_wavout_device_list(WdmDeviceList* list) override;
  void select_wdm_waveOut_device(std::int32_t index) override;
  void setup_stereo(std::int32_t channels) override;
  void setup_auto(std::int32_t on) override;
  void setup_delta_delta(std::int32_t delta) override;
  void setup_freq_22_44(std::int32_t rate) override;
  void setup_latency(std::int32_t latency) override;
  void setup_b_size(std::int32_t samples) override;
  void setup_max_chorus_delay(std::int32_t samples) override;
  std::int32_t WinMain1(std::intptr_t window) override;
  void out_to_dsound(const std::int16_t* block) noexcept override;
  void insert_buffer() override;
  void skip_buffer() override;
  void CloseDSound() override;
  std::string FailureCause() override;

  // Device thread: fills `frames` (at most kMaxChunk) device frames. `gathered` is
  // the number of input samples (engine rate) waiting in the unfinished capture buffer.
  void Render(float* left, float* right, int frames, int gathered) noexcept;

  bool IsOpen() const noexcept { return open_.load(); }
  // Input-to-output delay the queue keeps now, in engine samples (0 before the first block).
  std::int32_t DelaySamples() const noexcept { return delayNow_.load(std::memory_order_relaxed); }
  std::int32_t LatencySetting() const noexcept { return latency_.load(std::memory_order_relaxed); }
  std::int32_t Underruns() const noexcept { return underruns_.load(std::memory_order_relaxed); }
  std::int32_t DriftCorrections() const noexcept { return corrections_.load(std::memory_order_relaxed); }
  std::int32_t EngineRate() const noexcept { return engineRate_.load(std::memory_order_relaxed); }
  // The smallest delay the automatic mode measured (0 until measured or when off).
  std::int32_t SmallestDelay() const noexcept { return floorNow_.load(std::memory_order_relaxed); }

 private:
  int TargetDelay() const noexcept;
  int SmallestShift() const noexcept;
  void PullEngine(float* out, int count, int gathered) noexcept;
  void Measure(float* out, int count, int gathered) noexcept;
  void Prime(int gathered, int need, int target) noexcept;
  void Underrun() noexcept;
  void StartPendingShift() noexcept;
  void WatchDrift(int gathered) noexcept;

  LiveAudio& host_;
  std::vector<std::string> deviceNames_;
  std::int32_t selected_ = 0;

  // Settings written by the window thread.
  std::atomic<std::int32_t> auto_{1};
  std::atomic<std::int32_t> deltaDelta_{150};
  std::atomic<std::int32_t> engineRate_{44100};
  std::atomic<std::int32_t> latency_{750};
  std::atomic<std::int32_t> blockSize_{220};
  std::atomic<std::int32_t> chorusDelay_{0};
  std::atomic<std::int32_t> pendingShift_{0};  // sum of requested shifts in samples
  std::atomic<bool> open_{false};
  std::atomic<bool> reprime_{false};

  // The queue: written by out_to_dsound, read by Render.
  float ring_[kRingSize] = {};
  std::atomic<std::int64_t> writePos_{0};
  std::int64_t readPos_ = 0;

  // Device thread state.
  bool primed_ = false;
  int delay_ = 0;           // the delay the queue keeps, engine samples
  bool automatic_ = false;  // setup_auto as it was when playing started
  bool measuring_ = false;
  std::int64_t measureWrite_ = 0;   // writePos_ when the measurement began
  std::int64_t measurePulled_ = 0;  // engine samples the device asked for since then
  std::int64_t measureNeed_ = 0;    // the most silence playing would have needed
  int floor_ = 0;                   // smallest delay that holds (automatic)
  int fadeLeft_ = 0;                // samples left in the current crossfade
  int fadeShift_ = 0;               // -50 (insert) or +50 (skip)
  float driftAverage_ = 0.0f;
  float driftBaseline_ = 0.0f;
  int driftHold_ = 0;
  std::unique_ptr<RateConverter> converter_;  // engine rate to device rate, stereo
  float monoScratch_[kMaxChunk * 4] = {};
  float leftScratch_[kMaxChunk * 4] = {};
  float rightScratch_[kMaxChunk * 4] = {};
  float interleaved_[kMaxChunk * 8] = {};
  float converted_[kMaxChunk * 8] = {};
  int convertedFrames_ = 0;  // frames waiting in converted_
  int convertedRead_ = 0;
  StereoChorus chorus_;

  std::atomic<std::int32_t> delayNow_{0};
  std::atomic<std::int32_t> floorNow_{0};
  std::atomic<std::int32_t> underruns_{0};
  std::atomic<std::int32_t> corrections_{0};
};

}  // namespace fw
