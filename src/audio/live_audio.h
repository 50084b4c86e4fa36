#pragma once
// One live device shared by the wave input and the output library. The device is
// opened by whichever of the two opens first and closed when both have closed. Its
// callback feeds the capture, then renders the output queue, in steps of at most
// 256 frames, so the period the device picks does not matter.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_device.h"
#include "audio/capture_tap.h"
#include "audio/live_delay.h"
#include "audio/midi_inbox.h"
#include "audio/output_queue_library.h"
#include "audio/rate_converter.h"
#include "audio/stream_wave_input.h"
#include "core/callback_epoch.h"

namespace fw {

class LiveAudio final : public AudioDeviceClient, public LiveDelay {
 public:
  static constexpr int kChunk = 256;

  // `converters` may be nullptr: then device and engine rates must agree.
  LiveAudio(std::unique_ptr<AudioDevice> device, RateConverterFactory converters);
  ~LiveAudio() override;
  LiveAudio(const LiveAudio&) = delete;
  LiveAudio& operator=(const LiveAudio&) = delete;

  AudioDevice& Device() { return *device_; }
  StreamWaveInput& Input() { return input_; }
  OutputQueueLibrary& Output() { return output_; }
  // What the device's MIDI input received, for the window thread.
  MidiInbox& Midi() { return midi_; }

  // Window thread: open the device (first user) or count another user.
  bool Acquire(int preferredRate, std::string& error);
  void Release();
  int DeviceRate() const noexcept { return deviceRate_.load(std::memory_order_relaxed); }
  std::unique_ptr<RateConverter> MakeConverter(int channels, int fromRate, int toRate) const;
  // Window thread: returns once no device callback is inside Process.
  void Quiesce() const noexcept;
  const std::string& LastError() const { return lastError_; }
  // Window thread: why no device could be opened, backends tried first ("JACK: no
  // server running; ALSA: no output device"), then what to do when nothing is there.
  std::string UnavailableReason();
  // The device factory notes backends it tried and passed over.
  void AddTriedBackend(std::string note) { tried_.push_back(std::move(note)); }
  // The device factory found nothing to play on: what is missing in the system's
  // terms ("no JACK server is running") and what the user can do about it.
  void NoteMissingDevice(std::string missing, std::string advice) {
    missing_ = std::move(missing);
    advice_ = std::move(advice);
  }
  // "<missing>. <advice>", or empty when the device is there.
  std::string MissingDevice() const { return missing_.empty() ? std::string() : missing_ + ". " + advice_; }
  // Window thread: the reason the device was lost, empty while it runs.
  std::string LostReason() const;

  // Meters for the window: peak magnitude (full scale 1.0) since the last call.
  float TakeInputPeak() noexcept;
  float TakeOutputPeak() noexcept;
  std::int32_t Xruns() const noexcept { return xruns_.load(std::memory_order_relaxed); }
  // Callbacks of ours that took longer than the period they had to fill: the xruns
  // that are our fault, told apart from the server's.
  std::int32_t LateCallbacks() const noexcept { return lateCallbacks_.load(std::memory_order_relaxed); }
  std::int32_t PeriodChanges() const noexcept { return periodChanges_.load(std::memory_order_relaxed); }
  std::int32_t PeriodFrames() const noexcept { return period_.load(std::memory_order_relaxed); }
  std::int64_t FramesProcessed() const noexcept { return frames_.load(std::memory_order_relaxed); }
  // Nanoseconds spent inside Process, for the audio thread's CPU share.
  std::int64_t BusyNanoseconds() const noexcept { return busyNs_.load(std::memory_order_relaxed); }

  // AudioDeviceClient
  void Process(const float* input, float* left, float* right, int frames) noexcept override;
  void MidiReceived(const unsigned char* bytes, std::size_t size) noexcept override {
    midi_.Receive(bytes, size);
  }
  void PeriodChanged(int frames) noexcept override;
  void RateChanged(int rate) noexcept override;
  void Xrun() noexcept override;
  void DeviceLost(const char* reason) noexcept override;
  // The wave input listens, or a simulated legacy card takes the sound beside it.
  bool Capturing() const noexcept override {
    const AudioDeviceClient* card = card_.load(std::memory_order_acquire);
    return input_.IsStarted() || (card != nullptr && card->Capturing());
  }
  int AddedLatencyFrames() const noexcept override;

  // Window thread: routes the captured sound through `tap` (nullptr: no more); returns
  // once no callback uses the previous one.
  void AttachTap(CaptureTap* tap) noexcept;

  // LiveDelay
  double InputToOutputMs() const override;
  void PublishLatency() override;

  // A simulated card that plays beside the output library: it takes the same input
  // and its output is added to the library's. nullptr detaches it.
  void AttachCard(AudioDeviceClient* card) noexcept { card_.store(card); }

 private:
  std::unique_ptr<AudioDevice> device_;
  RateConverterFactory converters_;
  StreamWaveInput input_;
  OutputQueueLibrary output_;
  MidiInbox midi_;
  int users_ = 0;
  std::string lastError_;
  std::vector<std::string> tried_;
  std::string missing_, advice_;
  static constexpr int kReasonSize = 256;
  char lostReason_[kReasonSize] = {};
  std::atomic<int> lostClaimed_{0};
  std::atomic<bool> lost_{false};
  std::atomic<std::int32_t> lateCallbacks_{0};
  std::atomic<int> deviceRate_{0};
  CallbackEpoch callbacks_;
  std::atomic<std::int32_t> xruns_{0};
  std::atomic<std::int32_t> periodChanges_{0};
  std::atomic<std::int32_t> period_{0};
  std::atomic<std::int64_t> frames_{0};
  std::atomic<std::int64_t> busyNs_{0};
  std::atomic<float> inputPeak_{0.0f};
  std::atomic<float> outputPeak_{0.0f};
  std::atomic<bool> resetInputPeak_{false};
  std::atomic<bool> resetOutputPeak_{false};
  std::atomic<AudioDeviceClient*> card_{nullptr};
  float cardLeft_[kChunk] = {};
  float cardRight_[kChunk] = {};
  std::atomic<CaptureTap*> tap_{nullptr};
  float tapped_[kChunk] = {};
  int publishedDelay_ = -1;
  float inputPeakNow_ = 0.0f;
  float outputPeakNow_ = 0.0f;
};

}  // namespace fw
