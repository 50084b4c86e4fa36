#include "audio/output_queue_library.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "audio/live_audio.h"

namespace fw {
namespace {
constexpr int kMask = OutputQueueLibrary::kRingSize - 1;
constexpr int kResampleMargin = 64;  // engine samples the converters may hold back
constexpr int kConvertStep = 64;     // engine samples converted at a time
constexpr int kDriftHoldChunks = 512;
}  // namespace

OutputQueueLibrary::OutputQueueLibrary(LiveAudio& host) : host_(host) {}

OutputQueueLibrary::~OutputQueueLibrary() { CloseDSound(); }

// Our devices deliver the stream straight from the server or the card: nothing to prefer.
void OutputQueueLibrary::setup_ks_prefered() {}

std::int32_t OutputQueueLibrary::get_wdm_wavout_device_list(WdmDeviceList* list) {
  deviceNames_ = host_.Device().OutputDevices();
  if (deviceNames_.size() > static_cast<std::size_t>(WdmDeviceList::kMaxDevices)) {
    deviceNames_.resize(WdmDeviceList::kMaxDevices);
  }
  const auto count = static_cast<std::int32_t>(deviceNames_.size());
  if (list != nullptr) {
    list->count = count;
    for (std::int32_t i = 0; i < count; ++i)
      list->names[i] = deviceNames_[static_cast<std::size_t>(i)].c_str();
  }
  return count;
}

void OutputQueueLibrary::select_wdm_waveOut_device(std::int32_t index) {
  selected_ = index;
  host_.Device().SelectOutputDevice(index);
}

// The chorus delay alone decides how the mono blocks play on the two channels.
void OutputQueueLibrary::setup_stereo(std::int32_t) {}
void OutputQueueLibrary::setup_auto(std::int32_t on) { auto_.store(on); }
void OutputQueueLibrary::setup_delta_delta(std::int32_t delta) { deltaDelta_.store(delta); }
void OutputQueueLibrary::setup_freq_22_44(std::int32_t rate) {
  if (rate > 0) engineRate_.store(rate);
}
void OutputQueueLibrary::setup_latency(std::int32_t latency) { latency_.store(latency); }
void OutputQueueLibrary::setup_b_size(std::int32_t samples) {
  blockSize_.store(std::clamp(samples, 1, 1001));
}
void OutputQueueLibrary::setup_max_chorus_delay(std::int32_t samples) { chorusDelay_.store(samples); }

std::int32_t OutputQueueLibrary::WinMain1(std::intptr_t window) {
  (void)window;
  if (open_.load()) return 0;
  if (host_.Device().OutputDevices().empty()) return -1;
  std::string error;
  if (!host_.Acquire(engineRate_.load(), error)) return -1;
  const int deviceRate = host_.DeviceRate();
  converter_.reset();
  if (deviceRate != engineRate_.load()) {
    converter_ = host_.MakeConverter(2, engineRate_.load(), deviceRate);
    if (converter_ == nullptr) {
      host_.Release();
      return -1;
    }
  }
  writePos_.store(0);
  readPos_ = 0;
  primed_ = false;
  delay_ = 0;
  measuring_ = false;
  floor_ = 0;
  floorNow_.store(0);
  fadeLeft_ = 0;
  fadeShift_ = 0;
  driftAverage_ = 0.0f;
  driftHold_ = kDriftHoldChunks;
  convertedFrames_ = 0;
  convertedRead_ = 0;
  pendingShift_.store(0);
  delayNow_.store(0);
  open_.store(true);
  return 0;
}

void OutputQueueLibrary::CloseDSound() {
  if (!open_.exchange(false)) return;
  host_.Quiesce();
  host_.Release();
  converter_.reset();
  delayNow_.store(0);
  floorNow_.store(0);
}

std::string OutputQueueLibrary::FailureCause() { return host_.UnavailableReason(); }

void OutputQueueLibrary::insert_buffer() { pendingShift_.fetch_sub(kShiftSamples); }
void OutputQueueLibrary::skip_buffer() { pendingShift_.fetch_add(kShiftSamples); }

void OutputQueueLibrary::out_to_dsound(const std::int16_t* block) noexcept {
  if (block == nullptr || !open_.load()) return;
  const int n = blockSize_.load(std::memory_order_relaxed);
  const std::int64_t w = writePos_.load(std::memory_order_relaxed);
  for (int i = 0; i < n; ++i) ring_[(w + i) & kMask] = static_cast<float>(block[i]) * (1.0f / 32768.0f);
  writePos_.store(w + n, std::memory_order_release);
}

int OutputQueueLibrary::TargetDelay() const noexcept {
  const int deviceRate = std::max(host_.DeviceRate(), 1);
  const double latency = std::max(latency_.load(std::memory_order_relaxed), 0);
  const int inEngine =
      static_cast<int>(std::lround(latency * engineRate_.load(std::memory_order_relaxed) / deviceRate));
  const int margin = converter_ != nullptr ? kResampleMargin : 0;
  return std::min(inEngine + blockSize_.load(std::memory_order_relaxed) + margin, kMaxDelay);
}

// Shorter than this the queue would run dry between two blocks.
int OutputQueueLibrary::SmallestShift() const noexcept {
  if (automatic_ && floor_ > 0) return floor_;
  return blockSize_.load(std::memory_order_relaxed) + (converter_ != nullptr ? kResampleMargin : 0);
}

// The first block after opening (or after an underrun) decides where playing starts:
// silence in front of it makes the samples in flight equal the target delay once
// this chunk has played.
void OutputQueueLibrary::Prime(int gathered, int need, int target) noexcept {
  // The latency setting already counts the steps asked for before playing starts.
  pendingShift_.store(0, std::memory_order_relaxed);
  const std::int64_t available = writePos_.load(std::memory_order_acquire) - readPos_;
  const std::int64_t silence = target + need - (available + gathered);
  if (silence > 0) {
    for (std::int64_t i = 1; i <= silence; ++i) ring_[(readPos_ - i) & kMask] = 0.0f;
  }
  readPos_ -= silence;
  delay_ = target;
  primed_ = true;
  fadeLeft_ = 0;
  driftAverage_ = 0.0f;
  driftHold_ = kDriftHoldChunks;
}

// Automatic delay: before playing, the device's requests are served with silence while
// the blocks queue up, and the library notes how far the requests run ahead of the
// samples fed in (the period, and the converters' batches when they work). Playing then
// starts with exactly that lead in hand plus what the unfinished capture buffer may
// hold back (one sample short of a block): the smallest queue this device holds.
void OutputQueueLibrary::Measure(float* out, int count, int gathered) noexcept {
  std::fill(out, out + count, 0.0f);
  const std::int64_t written = writePos_.load(std::memory_order_acquire);
  measureNeed_ = std::max(measureNeed_, measurePulled_ + count - (written - measureWrite_) - gathered);
  measurePulled_ += count;
  if (measurePulled_ < kMeasureSamples) return;
  const std::int64_t need = measureNeed_ + blockSize_.load(std::memory_order_relaxed) - 1;
  const std::int64_t start = measureWrite_ - need + measurePulled_;
  // Ahead of the first block the queue holds stale samples of an earlier stream.
  for (std::int64_t i = start; i < readPos_; ++i) ring_[i & kMask] = 0.0f;
  readPos_ = start;
  delay_ = static_cast<int>(written + gathered - readPos_);
  floor_ = delay_;
  floorNow_.store(floor_, std::memory_order_relaxed);
  measuring_ = false;
  primed_ = true;
  pendingShift_.store(0, std::memory_order_relaxed);
  fadeLeft_ = 0;
  driftAverage_ = 0.0f;
  driftHold_ = kDriftHoldChunks;
}

// Nothing to play: the rest of the chunk is silent and the next block starts playing
// afresh; the automatic delay comes back one step longer, up to its ceiling.
void OutputQueueLibrary::Underrun() noexcept {
  primed_ = false;
  fadeLeft_ = 0;
  fadeShift_ = 0;
  // With the capture stopped (Stop stops it before CloseDSound) the stream has ended.
  if (!host_.Input().IsStarted()) return;
  underruns_.fetch_add(1, std::memory_order_relaxed);
  if (automatic_ && delay_ + kShiftSamples <= std::max(TargetDelay(), floor_)) delay_ += kShiftSamples;
}

void OutputQueueLibrary::StartPendingShift() noexcept {
  const std::int32_t pending = pendingShift_.load(std::memory_order_relaxed);
  if (pending == 0) return;
  const int shift = pending < 0 ? -kShiftSamples : kShiftSamples;
  pendingShift_.fetch_sub(shift, std::memory_order_relaxed);
  if (shift > 0 && delay_ - shift < SmallestShift()) return;
  // Longer than the queue holds it would play samples already overwritten: ignore.
  if (shift < 0 && delay_ - shift > kMaxDelay) return;
  fadeShift_ = shift;
  fadeLeft_ = kFadeSamples;
}

void OutputQueueLibrary::PullEngine(float* out, int count, int gathered) noexcept {
  std::int64_t available = writePos_.load(std::memory_order_acquire) - readPos_;
  if (!primed_) {
    if (!measuring_) {
      if (available < blockSize_.load(std::memory_order_relaxed)) {
        std::fill(out, out + count, 0.0f);
        return;
      }
      if (floor_ == 0) {
        // Playing starts for the first time since opening.
        automatic_ = auto_.load(std::memory_order_relaxed) != 0;
        measuring_ = automatic_;
        measureWrite_ = writePos_.load(std::memory_order_acquire);
        measurePulled_ = 0;
        measureNeed_ = INT64_MIN;
      }
    }
    if (measuring_) {
      Measure(out, count, gathered);
      return;
    }
    Prime(gathered, count, automatic_ ? delay_ : TargetDelay());
    available = writePos_.load(std::memory_order_acquire) - readPos_;
  }
  for (int i = 0; i < count; ++i) {
    if (fadeLeft_ == 0) StartPendingShift();
    const int lookAhead = fadeLeft_ > 0 ? std::max(fadeShift_, 0) : 0;
    if (available <= lookAhead) {
      std::fill(out + i, out + count, 0.0f);
      Underrun();
      return;
    }
    float s = ring_[readPos_ & kMask];
    if (fadeLeft_ > 0) {
      const float other = ring_[(readPos_ + fadeShift_) & kMask];
      const float w =
          (static_cast<float>(kFadeSamples - fadeLeft_) + 0.5f) / static_cast<float>(kFadeSamples);
      s += (other - s) * w;
      --fadeLeft_;
    }
    out[i] = s;
    ++readPos_;
    --available;
    if (fadeLeft_ == 0 && fadeShift_ != 0) {
      readPos_ += fadeShift_;
      available -= fadeShift_;
      delay_ -= fadeShift_;
      fadeShift_ = 0;
    }
  }
}

// On a duplex device the samples in flight stay equal to the delay; on devices with
// separate clocks they drift, and the same crossfaded 50-sample step brings them back.
void OutputQueueLibrary::WatchDrift(int gathered) noexcept {
  if (!primed_) return;
  const std::int64_t available = writePos_.load(std::memory_order_acquire) - readPos_;
  const float error = static_cast<float>(available + gathered - delay_);
  driftAverage_ += (error - driftAverage_) * (1.0f / 256.0f);
  if (driftHold_ > 0) {
    // What the converters and the render steps hold back is constant: it is the baseline.
    if (--driftHold_ == 0) driftBaseline_ = driftAverage_;
    return;
  }
  if (auto_.load(std::memory_order_relaxed) == 0 || fadeLeft_ > 0) return;
  const float band = static_cast<float>(std::max(deltaDelta_.load(std::memory_order_relaxed), kShiftSamples));
  // The automatic delay has no samples to spare: a queue that empties is caught within
  // half a step, before it runs dry.
  const float emptying = automatic_ ? static_cast<float>(kShiftSamples / 2) : band;
  const float drift = driftAverage_ - driftBaseline_;
  if (drift <= band && drift >= -emptying) return;
  // A correction restores the delay without changing it: shift, then undo delay_'s step.
  fadeShift_ = drift > 0.0f ? kShiftSamples : -kShiftSamples;
  fadeLeft_ = kFadeSamples;
  delay_ += fadeShift_;
  driftAverage_ = driftBaseline_;
  driftHold_ = kDriftHoldChunks;
  corrections_.fetch_add(1, std::memory_order_relaxed);
}

void OutputQueueLibrary::Render(float* left, float* right, int frames, int gathered) noexcept {
  frames = std::clamp(frames, 0, kMaxChunk);
  if (!open_.load()) {
    std::fill(left, left + frames, 0.0f);
    std::fill(right, right + frames, 0.0f);
    return;
  }
  // The chorus plays whenever its longest delay is above 0, after a mono set-up too: the
  // start's set-up sends 0 (dry), and the Hardware page's slider brings it in.
  const int chorusDelay = chorusDelay_.load(std::memory_order_relaxed);
  const bool chorus = chorusDelay > 0;
  const auto rate = static_cast<float>(engineRate_.load(std::memory_order_relaxed));

  if (converter_ == nullptr) {
    PullEngine(monoScratch_, frames, gathered);
    chorus_.Process(monoScratch_, left, right, frames, chorusDelay, chorus, rate);
  } else {
    int produced = 0;
    int attempts = 0;
    while (produced < frames) {
      if (convertedRead_ == convertedFrames_) {
        if (++attempts > 16) {
          std::fill(left + produced, left + frames, 0.0f);
          std::fill(right + produced, right + frames, 0.0f);
          break;
        }
        convertedRead_ = 0;
        convertedFrames_ = 0;
        PullEngine(monoScratch_, kConvertStep, gathered);
        chorus_.Process(monoScratch_, leftScratch_, rightScratch_, kConvertStep, chorusDelay, chorus, rate);
        for (int i = 0; i < kConvertStep; ++i) {
          interleaved_[2 * i] = leftScratch_[i];
          interleaved_[2 * i + 1] = rightScratch_[i];
        }
        std::uint32_t in = kConvertStep;
        std::uint32_t out = kMaxChunk * 4;
        converter_->Process(interleaved_, in, converted_, out);
        convertedFrames_ = static_cast<int>(out);
        if (out == 0) continue;
      }
      const int take = std::min(frames - produced, convertedFrames_ - convertedRead_);
      for (int i = 0; i < take; ++i) {
        left[produced + i] = converted_[2 * (convertedRead_ + i)];
        right[produced + i] = converted_[2 * (convertedRead_ + i) + 1];
      }
      convertedRead_ += take;
      produced += take;
    }
  }
  WatchDrift(gathered);
  delayNow_.store(primed_ ? delay_ : 0, std::memory_order_relaxed);
}

}  // namespace fw
