#include "audio/live_audio.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "core/denormals.h"

namespace fw {

LiveAudio::LiveAudio(std::unique_ptr<AudioDevice> device, RateConverterFactory converters)
    : device_(std::move(device)), converters_(converters), input_(*this), output_(*this) {}

LiveAudio::~LiveAudio() {
  output_.CloseDSound();
  input_.Close();
  if (device_->Running()) device_->Stop();
}

bool LiveAudio::Acquire(int preferredRate, std::string& error) {
  if (users_ == 0) {
    if (!device_->Start(*this, preferredRate, error)) {
      lastError_ = error;
      return false;
    }
    lastError_.clear();
    deviceRate_.store(device_->SampleRate());
    period_.store(device_->PeriodFrames());
  }
  ++users_;
  return true;
}

void LiveAudio::Release() {
  if (users_ == 0) return;
  if (--users_ == 0) device_->Stop();
}

std::unique_ptr<RateConverter> LiveAudio::MakeConverter(int channels, int fromRate, int toRate) const {
  if (converters_ == nullptr) return nullptr;
  return converters_(channels, fromRate, toRate);
}

void LiveAudio::Quiesce() const noexcept { callbacks_.Quiesce(); }

float LiveAudio::TakeInputPeak() noexcept {
  const float v = inputPeak_.load(std::memory_order_relaxed);
  resetInputPeak_.store(true, std::memory_order_relaxed);
  return v;
}

float LiveAudio::TakeOutputPeak() noexcept {
  const float v = outputPeak_.load(std::memory_order_relaxed);
  resetOutputPeak_.store(true, std::memory_order_relaxed);
  return v;
}

void LiveAudio::Process(const float* input, float* left, float* right, int frames) noexcept {
  callbacks_.Enter();
  const auto begin = std::chrono::steady_clock::now();
  FlushDenormalsOnThisThread();
  if (resetInputPeak_.exchange(false, std::memory_order_relaxed)) inputPeakNow_ = 0.0f;
  if (resetOutputPeak_.exchange(false, std::memory_order_relaxed)) outputPeakNow_ = 0.0f;

  const std::int64_t firstFrame = frames_.load(std::memory_order_relaxed);
  CaptureTap* tap = tap_.load();
  for (int done = 0; done < frames;) {
    const int n = std::min(kChunk, frames - done);
    for (int i = 0; i < n; ++i) inputPeakNow_ = std::max(inputPeakNow_, std::fabs(input[done + i]));
    const float* captured = input + done;
    if (tap != nullptr) {
      tap->Process(captured, tapped_, n, firstFrame + done);
      captured = tapped_;
    }
    AudioDeviceClient* card = card_.load(std::memory_order_acquire);
    if (card != nullptr) card->Process(captured, cardLeft_, cardRight_, n);
    input_.Feed(captured, n, firstFrame + done);
    output_.Render(left + done, right + done, n, input_.Gathered());
    if (card != nullptr) {
      for (int i = 0; i < n; ++i) {
        left[done + i] += cardLeft_[i];
        right[done + i] += cardRight_[i];
      }
    }
    for (int i = 0; i < n; ++i) {
      outputPeakNow_ =
          std::max(outputPeakNow_, std::max(std::fabs(left[done + i]), std::fabs(right[done + i])));
    }
    done += n;
  }

  inputPeak_.store(inputPeakNow_, std::memory_order_relaxed);
  outputPeak_.store(outputPeakNow_, std::memory_order_relaxed);
  frames_.fetch_add(frames, std::memory_order_relaxed);
  const auto spent =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - begin).count();
  busyNs_.fetch_add(spent, std::memory_order_relaxed);
  const int rate = deviceRate_.load(std::memory_order_relaxed);
  if (rate > 0 && spent * rate > static_cast<std::int64_t>(frames) * 1000000000LL)
    lateCallbacks_.fetch_add(1, std::memory_order_relaxed);
  callbacks_.Leave();
}

void LiveAudio::AttachTap(CaptureTap* tap) noexcept {
  tap_.store(tap);
  Quiesce();
}

void LiveAudio::PeriodChanged(int frames) noexcept {
  period_.store(frames, std::memory_order_relaxed);
  periodChanges_.fetch_add(1, std::memory_order_relaxed);
}

// The converters were made for the old rate and cannot be remade here; the next
// Start opens at the new rate.
void LiveAudio::RateChanged(int rate) noexcept { deviceRate_.store(rate, std::memory_order_relaxed); }

void LiveAudio::Xrun() noexcept { xruns_.fetch_add(1, std::memory_order_relaxed); }

void LiveAudio::DeviceLost(const char* reason) noexcept {
  // The first report wins; the reason is complete before the flag says so.
  if (lostClaimed_.exchange(1) != 0) return;
  const char* text = reason != nullptr ? reason : "unknown reason";
  int n = 0;
  for (; n < kReasonSize - 1 && text[n] != '\0'; ++n) lostReason_[n] = text[n];
  lostReason_[n] = '\0';
  lost_.store(true, std::memory_order_release);
}

std::string LiveAudio::LostReason() const {
  return lost_.load(std::memory_order_acquire) ? std::string(lostReason_) : std::string();
}

std::string LiveAudio::UnavailableReason() {
  std::string text;
  for (const std::string& note : tried_) text += note + "; ";
  std::string own = lastError_.empty() ? device_->UnavailableReason() : lastError_;
  if (own.empty() && text.empty()) return {};
  return text + own + (advice_.empty() ? std::string() : "\n" + advice_);
}

int LiveAudio::AddedLatencyFrames() const noexcept {
  const double engineRate = std::max(output_.EngineRate(), 1);
  return static_cast<int>(std::lround(output_.DelaySamples() * DeviceRate() / engineRate));
}

// The queue's delay is counted in engine samples, the device's latencies in its frames.
double LiveAudio::InputToOutputMs() const {
  const int delay = output_.DelaySamples();
  const int rate = DeviceRate();
  if (delay <= 0 || rate <= 0 || !device_->Running()) return 0.0;
  const double engineRate = std::max(output_.EngineRate(), 1);
  return 1000.0 * delay / engineRate + 1000.0 * device_->ReportedLatencyFrames() / rate;
}

void LiveAudio::PublishLatency() {
  const int delay = output_.DelaySamples();
  if (delay == publishedDelay_ || !device_->Running()) return;
  publishedDelay_ = delay;
  device_->LatencyChanged();
}

}  // namespace fw
