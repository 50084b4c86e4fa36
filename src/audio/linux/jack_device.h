#pragma once
// The JACK client "fretwerk": one input port and two output ports, connected to the
// first physical capture and playback ports unless told otherwise, and the MIDI input
// "midi_in", which the user connects. PipeWire's JACK
// serves the same API.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_device.h"

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

namespace fw {

struct JackOptions {
  std::string clientName = "fretwerk";
  bool connectPorts = true;
};

class JackDevice final : public AudioDevice {
 public:
  explicit JackDevice(JackOptions options = {});
  ~JackDevice() override;

  // Whether a JACK server answers (without starting one).
  static bool ServerRunning();

  std::string BackendName() const override { return "jack"; }
  std::vector<std::string> OutputDevices() override;
  void SelectOutputDevice(int index) override { selected_ = index; }
  std::string InputProductName() override;
  bool Start(AudioDeviceClient& client, int preferredRate, std::string& error) override;
  void Stop() override;
  bool Running() const override { return client_ != nullptr; }
  int SampleRate() const override { return rate_.load(); }
  int PeriodFrames() const override { return period_.load(); }
  void LatencyChanged() override;
  int ReportedLatencyFrames() const override;
  std::string UnavailableReason() override;

  // JACK's latency callback: mode 0 capture, 1 playback.
  static void OnLatencyRequest(int mode, void* self);
  // JACK's shutdown callback: the server is gone.
  static void OnShutdown(const char* reason, void* self);

  // The full names of the ports, for connecting test clients.
  std::string InputPortName() const;
  std::string LeftPortName() const;
  std::string RightPortName() const;
  std::string MidiPortName() const;

 private:
  static int OnProcess(unsigned frames, void* self);
  static int OnBufferSize(unsigned frames, void* self);
  static int OnSampleRate(unsigned rate, void* self);
  static int OnXrun(void* self);

  std::vector<std::string> PhysicalPorts(bool playback) const;
  void Connect();

  JackOptions options_;
  int selected_ = 0;
  jack_client_t* client_ = nullptr;
  jack_port_t* in_ = nullptr;
  jack_port_t* left_ = nullptr;
  jack_port_t* right_ = nullptr;
  jack_port_t* midiIn_ = nullptr;
  AudioDeviceClient* audio_ = nullptr;
  std::atomic<int> rate_{0};
  std::atomic<int> period_{0};
  char shutdownReason_[256] = {};
};

}  // namespace fw
