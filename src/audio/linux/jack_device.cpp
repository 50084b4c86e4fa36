#include "audio/linux/jack_device.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace fw {
namespace {

void SilentJackErrors(const char*) {}

void LatencyThunk(jack_latency_callback_mode_t mode, void* self) {
  JackDevice::OnLatencyRequest(mode == JackCaptureLatency ? 0 : 1, self);
}

void ShutdownThunk(jack_status_t code, const char* reason, void* self) {
  (void)code;
  JackDevice::OnShutdown(reason, self);
}

}  // namespace

JackDevice::JackDevice(JackOptions options) : options_(std::move(options)) {}

JackDevice::~JackDevice() { Stop(); }

bool JackDevice::ServerRunning() {
  jack_set_error_function(SilentJackErrors);
  jack_set_info_function(SilentJackErrors);
  jack_status_t status{};
  jack_client_t* probe = jack_client_open("fretwerk-probe", JackNoStartServer, &status);
  if (probe == nullptr) return false;
  jack_client_close(probe);
  return true;
}

std::vector<std::string> JackDevice::PhysicalPorts(bool playback) const {
  std::vector<std::string> names;
  jack_client_t* client = client_;
  jack_client_t* temporary = nullptr;
  if (client == nullptr) {
    jack_status_t status{};
    temporary = jack_client_open("fretwerk-list", JackNoStartServer, &status);
    client = temporary;
  }
  if (client == nullptr) return names;
  const unsigned long flags = JackPortIsPhysical | (playback ? JackPortIsInput : JackPortIsOutput);
  const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE, flags);
  if (ports != nullptr) {
    for (int i = 0; ports[i] != nullptr; ++i) names.emplace_back(ports[i]);
    jack_free(ports);
  }
  if (temporary != nullptr) jack_client_close(temporary);
  return names;
}

std::vector<std::string> JackDevice::OutputDevices() {
  auto ports = PhysicalPorts(true);
  // A client that does not connect still plays: to whatever the user connects it to.
  if (ports.empty() && !options_.connectPorts && (client_ != nullptr || ServerRunning())) {
    ports.push_back(options_.clientName + " (unconnected)");
  }
  return ports;
}

std::string JackDevice::InputProductName() {
  const auto ports = PhysicalPorts(false);
  return ports.empty() ? std::string("JACK") : "JACK " + ports.front();
}

bool JackDevice::Start(AudioDeviceClient& client, int preferredRate, std::string& error) {
  (void)preferredRate;  // the server's rate rules
  if (client_ != nullptr) return true;
  jack_set_error_function(SilentJackErrors);
  jack_set_info_function(SilentJackErrors);
  jack_status_t status{};
  client_ = jack_client_open(options_.clientName.c_str(), JackNoStartServer, &status);
  if (client_ == nullptr) {
    error = "No JACK server is running.";
    return false;
  }
  audio_ = &client;
  in_ = jack_port_register(client_, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  left_ = jack_port_register(client_, "out_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  right_ = jack_port_register(client_, "out_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  midiIn_ = jack_port_register(client_, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  if (in_ == nullptr || left_ == nullptr || right_ == nullptr || midiIn_ == nullptr) {
    error = "Can not register the JACK ports.";
    jack_client_close(client_);
    client_ = nullptr;
    return false;
  }
  rate_.store(static_cast<int>(jack_get_sample_rate(client_)));
  period_.store(static_cast<int>(jack_get_buffer_size(client_)));
  jack_set_process_callback(client_, &JackDevice::OnProcess, this);
  jack_set_buffer_size_callback(client_, &JackDevice::OnBufferSize, this);
  jack_set_sample_rate_callback(client_, &JackDevice::OnSampleRate, this);
  jack_set_xrun_callback(client_, &JackDevice::OnXrun, this);
  jack_on_info_shutdown(client_, &ShutdownThunk, this);
  jack_set_latency_callback(client_, &LatencyThunk, this);
  if (jack_activate(client_) != 0) {
    error = "Can not activate the JACK client.";
    jack_client_close(client_);
    client_ = nullptr;
    return false;
  }
  if (options_.connectPorts) Connect();
  return true;
}

void JackDevice::Connect() {
  const auto capture = PhysicalPorts(false);
  if (!capture.empty()) jack_connect(client_, capture.front().c_str(), jack_port_name(in_));
  const auto playback = PhysicalPorts(true);
  if (playback.empty()) return;
  const auto first =
      static_cast<std::size_t>(std::clamp(selected_, 0, static_cast<int>(playback.size()) - 1));
  const std::size_t second = first + 1 < playback.size() ? first + 1 : first;
  jack_connect(client_, jack_port_name(left_), playback[first].c_str());
  jack_connect(client_, jack_port_name(right_), playback[second].c_str());
}

void JackDevice::Stop() {
  if (client_ == nullptr) return;
  jack_deactivate(client_);
  jack_client_close(client_);
  client_ = nullptr;
  audio_ = nullptr;
}

std::string JackDevice::InputPortName() const { return client_ ? jack_port_name(in_) : ""; }
std::string JackDevice::LeftPortName() const { return client_ ? jack_port_name(left_) : ""; }
std::string JackDevice::RightPortName() const { return client_ ? jack_port_name(right_) : ""; }
std::string JackDevice::MidiPortName() const { return client_ ? jack_port_name(midiIn_) : ""; }

int JackDevice::OnProcess(unsigned frames, void* self) {
  auto* device = static_cast<JackDevice*>(self);
  const auto* in = static_cast<const float*>(jack_port_get_buffer(device->in_, frames));
  auto* left = static_cast<float*>(jack_port_get_buffer(device->left_, frames));
  auto* right = static_cast<float*>(jack_port_get_buffer(device->right_, frames));
  void* midi = jack_port_get_buffer(device->midiIn_, frames);
  const std::uint32_t events = jack_midi_get_event_count(midi);
  for (std::uint32_t i = 0; i < events; ++i) {
    jack_midi_event_t event{};
    if (jack_midi_event_get(&event, midi, i) == 0) device->audio_->MidiReceived(event.buffer, event.size);
  }
  device->audio_->Process(in, left, right, static_cast<int>(frames));
  return 0;
}

int JackDevice::OnBufferSize(unsigned frames, void* self) {
  auto* device = static_cast<JackDevice*>(self);
  device->period_.store(static_cast<int>(frames));
  if (device->audio_ != nullptr) device->audio_->PeriodChanged(static_cast<int>(frames));
  return 0;
}

int JackDevice::OnSampleRate(unsigned rate, void* self) {
  auto* device = static_cast<JackDevice*>(self);
  device->rate_.store(static_cast<int>(rate));
  if (device->audio_ != nullptr) device->audio_->RateChanged(static_cast<int>(rate));
  return 0;
}

int JackDevice::OnXrun(void* self) {
  auto* device = static_cast<JackDevice*>(self);
  if (device->audio_ != nullptr) device->audio_->Xrun();
  return 0;
}

void JackDevice::LatencyChanged() {
  if (client_ != nullptr) jack_recompute_total_latencies(client_);
}

// The longest way from a capture port to our input, and from our outputs to a playback port.
int JackDevice::ReportedLatencyFrames() const {
  if (client_ == nullptr) return 0;
  jack_latency_range_t capture{};
  jack_latency_range_t playback{};
  jack_port_get_latency_range(in_, JackCaptureLatency, &capture);
  jack_port_get_latency_range(left_, JackPlaybackLatency, &playback);
  return static_cast<int>(capture.max + playback.max);
}

// What reaches our outputs was captured the input's latency plus our delay ago; what
// enters our input is played our delay plus the outputs' latency later.
void JackDevice::OnLatencyRequest(int mode, void* self) {
  auto* device = static_cast<JackDevice*>(self);
  const auto added =
      static_cast<jack_nframes_t>(device->audio_ != nullptr ? device->audio_->AddedLatencyFrames() : 0);
  jack_latency_range_t range{};
  if (mode == 0) {
    jack_port_get_latency_range(device->in_, JackCaptureLatency, &range);
    range.min += added;
    range.max += added;
    jack_port_set_latency_range(device->left_, JackCaptureLatency, &range);
    jack_port_set_latency_range(device->right_, JackCaptureLatency, &range);
  } else {
    jack_latency_range_t left{};
    jack_latency_range_t right{};
    jack_port_get_latency_range(device->left_, JackPlaybackLatency, &left);
    jack_port_get_latency_range(device->right_, JackPlaybackLatency, &right);
    range.min = std::min(left.min, right.min) + added;
    range.max = std::max(left.max, right.max) + added;
    jack_port_set_latency_range(device->in_, JackPlaybackLatency, &range);
  }
}

void JackDevice::OnShutdown(const char* reason, void* self) {
  auto* device = static_cast<JackDevice*>(self);
  if (device->audio_ == nullptr) return;
  // JACK allows no formatting here (snprintf may allocate or lock): plain copies.
  char* out = device->shutdownReason_;
  std::size_t room = sizeof device->shutdownReason_ - 1;
  const auto append = [&](const char* text) {
    for (; *text != '\0' && room > 0; --room) *out++ = *text++;
  };
  append("the JACK server shut down (");
  append(reason != nullptr && reason[0] != '\0' ? reason : "no reason given");
  append(")");
  *out = '\0';
  device->audio_->DeviceLost(device->shutdownReason_);
}

std::string JackDevice::UnavailableReason() {
  return ServerRunning() ? std::string() : std::string("JACK: no server running");
}

}  // namespace fw
