#include "audio/linux/jack_click_client.h"

#include <jack/jack.h>

#include <algorithm>

namespace fw {

JackClickClient::JackClickClient(ClickProbe probe, std::size_t frames)
    : probe_(probe), heard_(frames, 0.0f) {}

JackClickClient::~JackClickClient() { Close(); }

void JackClickClient::Close() {
  if (player_ != nullptr) jack_client_close(player_);
  if (listener_ != nullptr) jack_client_close(listener_);
  player_ = nullptr;
  listener_ = nullptr;
}

bool JackClickClient::Open(const std::string& name, std::string& error) {
  jack_status_t status{};
  player_ = jack_client_open((name + "-click").c_str(), JackNoStartServer, &status);
  listener_ = jack_client_open((name + "-listen").c_str(), JackNoStartServer, &status);
  if (player_ == nullptr || listener_ == nullptr) {
    error = "No JACK server is running.";
    return false;
  }
  out_ = jack_port_register(player_, "click", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  in_ = jack_port_register(listener_, "heard", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  if (out_ == nullptr || in_ == nullptr) {
    error = "Can not register the JACK test ports.";
    return false;
  }
  jack_set_process_callback(player_, &JackClickClient::Play, this);
  jack_set_process_callback(listener_, &JackClickClient::Listen, this);
  jack_set_xrun_callback(listener_, &JackClickClient::OnXrun, this);
  if (jack_activate(player_) != 0 || jack_activate(listener_) != 0) {
    error = "Can not activate the JACK test clients.";
    return false;
  }
  return true;
}

bool JackClickClient::Connect(const std::string& input, const std::string& output) {
  return jack_connect(player_, jack_port_name(out_), input.c_str()) == 0 &&
         jack_connect(listener_, output.c_str(), jack_port_name(in_)) == 0;
}

int JackClickClient::Play(unsigned frames, void* self) {
  auto* c = static_cast<JackClickClient*>(self);
  auto* buffer = static_cast<float*>(jack_port_get_buffer(c->out_, frames));
  if (!c->go_.load()) {
    std::fill(buffer, buffer + frames, 0.0f);
    return 0;
  }
  const auto now = static_cast<std::int64_t>(jack_last_frame_time(c->player_));
  if (c->t0_.load() < 0) c->t0_.store(now);
  const std::int64_t base = now - c->t0_.load();
  for (unsigned i = 0; i < frames; ++i) buffer[i] = c->probe_.At(base + i);
  return 0;
}

int JackClickClient::Listen(unsigned frames, void* self) {
  auto* c = static_cast<JackClickClient*>(self);
  const std::int64_t t0 = c->t0_.load();
  if (t0 < 0) return 0;
  const std::int64_t base = static_cast<std::int64_t>(jack_last_frame_time(c->listener_)) - t0;
  const auto* in = static_cast<const float*>(jack_port_get_buffer(c->in_, frames));
  for (unsigned i = 0; i < frames; ++i) {
    const auto k = static_cast<std::size_t>(base + i);
    if (base + i >= 0 && k < c->heard_.size()) c->heard_[k] = in[i];
  }
  c->recorded_.store(base + frames);
  return 0;
}

int JackClickClient::OnXrun(void* self) {
  static_cast<JackClickClient*>(self)->xruns_.fetch_add(1);
  return 0;
}

}  // namespace fw
