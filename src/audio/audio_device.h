#pragma once
// A duplex audio device as the live stream sees it: one mono input and two output
// channels delivered in one callback on the device's real-time thread. Backends:
// JACK and PortAudio/ALSA (src/audio/linux), the virtual sound card (src/audio/virtual).
#include <cstddef>
#include <string>
#include <vector>

namespace fw {

class AudioDeviceClient {
 public:
  virtual ~AudioDeviceClient() = default;
  // Device thread: `frames` input samples in, `frames` samples out on each channel.
  // Samples are floats with full scale 1.0.
  virtual void Process(const float* input, float* left, float* right, int frames) noexcept = 0;
  // One MIDI event from the device's MIDI input, on the device's thread: the bytes of
  // one complete message, valid only during the call.
  virtual void MidiReceived(const unsigned char* bytes, std::size_t size) noexcept {
    (void)bytes;
    (void)size;
  }
  // The device's period or rate changed (the period may change between callbacks).
  virtual void PeriodChanged(int frames) noexcept { (void)frames; }
  virtual void RateChanged(int rate) noexcept { (void)rate; }
  // The device lost or repeated audio (a missed deadline).
  virtual void Xrun() noexcept {}
  // The device stopped for good (server gone, stream error, output file not
  // writable): no callback follows. Any thread; `reason` is copied.
  virtual void DeviceLost(const char* reason) noexcept { (void)reason; }
  // The client takes input now. A device that plays a file holds it until then, so
  // a file played once is heard from its first sample however late capture starts.
  virtual bool Capturing() const noexcept { return true; }
  // Frames the client adds between its input and its outputs, for the device's
  // latency reports.
  virtual int AddedLatencyFrames() const noexcept { return 0; }
};

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  // "jack", "alsa" or "virtual".
  virtual std::string BackendName() const = 0;
  // Names of the output devices the user can pick; empty when there is none.
  virtual std::vector<std::string> OutputDevices() = 0;
  virtual void SelectOutputDevice(int index) = 0;
  virtual std::string InputProductName() = 0;
  // Opens and starts the stream, asking for `preferredRate`; the device may run at
  // another rate (JACK runs at the server's). False with a reason when it cannot.
  virtual bool Start(AudioDeviceClient& client, int preferredRate, std::string& error) = 0;
  // After Stop returns no callback runs any more.
  virtual void Stop() = 0;
  virtual bool Running() const = 0;
  virtual int SampleRate() const = 0;
  virtual int PeriodFrames() const = 0;
  // Window thread: the client's added latency changed; the device may tell others.
  virtual void LatencyChanged() {}
  // Window thread: frames between the sound at the input and the client's input, plus
  // frames between the client's outputs and the sound at the output, as the device
  // reports them (0 when it reports nothing).
  virtual int ReportedLatencyFrames() const { return 0; }
  // Why the device has no output to offer (empty when it has one or cannot tell).
  virtual std::string UnavailableReason() { return {}; }
};

}  // namespace fw
