#pragma once
// PortAudio's ALSA host: the fallback when no JACK server runs. One duplex stream,
// mono in, stereo out, at the engine rate when the card offers it, and the ALSA
// sequencer port "midi_in" while it runs.
#include <atomic>
#include <string>
#include <vector>

#include "audio/audio_device.h"
#include "audio/linux/alsa_midi_input.h"

namespace fw {

class PortAudioDevice final : public AudioDevice {
 public:
  PortAudioDevice();
  ~PortAudioDevice() override;

  // Whether the ALSA host has at least one output device.
  bool Available();
  // Whether its default capture device takes input.
  bool HasCaptureDevice();

  std::string BackendName() const override { return "alsa"; }
  std::vector<std::string> OutputDevices() override;
  void SelectOutputDevice(int index) override { selected_ = index; }
  std::string InputProductName() override;
  bool Start(AudioDeviceClient& client, int preferredRate, std::string& error) override;
  void Stop() override;
  bool Running() const override { return stream_ != nullptr; }
  int SampleRate() const override { return rate_; }
  int PeriodFrames() const override { return period_; }
  int ReportedLatencyFrames() const override;
  std::string UnavailableReason() override;

  // Stream thread.
  void OnStream(const float* input, float* left, float* right, int frames, bool xrun) noexcept;
  // The stream ended: lost unless Stop ended it.
  void OnFinished() noexcept;

 private:
  std::vector<int> OutputIndices();

  bool initialised_ = false;
  int host_ = -1;
  int selected_ = 0;
  void* stream_ = nullptr;
  AudioDeviceClient* client_ = nullptr;
  std::atomic<bool> stopping_{false};
  int rate_ = 0;
  int period_ = 0;
  float silence_[8192] = {};
  AlsaMidiInput midi_;
};

}  // namespace fw
