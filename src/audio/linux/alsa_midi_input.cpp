#include "audio/linux/alsa_midi_input.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

namespace fw {
std::size_t AlsaEventBytes(const snd_seq_event& event, unsigned char (&bytes)[3]) {
  const auto& control = event.data.control;
  const auto channel = static_cast<unsigned char>(control.channel & 0x0F);
  if (event.type == SND_SEQ_EVENT_CONTROLLER) {
    bytes[0] = static_cast<unsigned char>(0xB0 | channel);
    bytes[1] = static_cast<unsigned char>(control.param & 0x7F);
    bytes[2] = static_cast<unsigned char>(control.value & 0x7F);
    return 3;
  }
  if (event.type == SND_SEQ_EVENT_PGMCHANGE) {
    bytes[0] = static_cast<unsigned char>(0xC0 | channel);
    bytes[1] = static_cast<unsigned char>(control.value & 0x7F);
    return 2;
  }
  return 0;
}

bool AlsaMidiInput::Start(AudioDeviceClient& client, const std::string& clientName, std::string& error) {
  if (seq_ != nullptr) return true;
  if (snd_seq_open(&seq_, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0) {
    seq_ = nullptr;
    error = "no ALSA sequencer";
    return false;
  }
  snd_seq_set_client_name(seq_, clientName.c_str());
  port_ = snd_seq_create_simple_port(seq_, "midi_in", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                     SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  wake_ = eventfd(0, EFD_CLOEXEC);
  if (port_ < 0 || wake_ < 0) {
    error = "cannot create the ALSA sequencer port midi_in";
    Stop();
    return false;
  }
  clientId_ = snd_seq_client_id(seq_);
  client_ = &client;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void AlsaMidiInput::Stop() {
  if (thread_.joinable()) {
    const std::uint64_t one = 1;
    if (write(wake_, &one, sizeof one) < 0) {
      // An eventfd write fails only when its counter would overflow: it is already set.
    }
    thread_.join();
  }
  if (wake_ >= 0) close(wake_);
  if (seq_ != nullptr) snd_seq_close(seq_);
  seq_ = nullptr;
  wake_ = -1;
  port_ = -1;
  clientId_ = -1;
  client_ = nullptr;
}

void AlsaMidiInput::Run() {
  const int count = snd_seq_poll_descriptors_count(seq_, POLLIN);
  std::vector<pollfd> fds(static_cast<std::size_t>(count) + 1);
  fds[0] = {wake_, POLLIN, 0};
  snd_seq_poll_descriptors(seq_, fds.data() + 1, static_cast<unsigned>(count), POLLIN);
  for (;;) {
    if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) return;
    if ((fds[0].revents & POLLIN) != 0) return;
    snd_seq_event_t* event = nullptr;
    while (snd_seq_event_input(seq_, &event) >= 0 && event != nullptr) {
      unsigned char bytes[3];
      const std::size_t size = AlsaEventBytes(*event, bytes);
      if (size > 0) client_->MidiReceived(bytes, size);
    }
  }
}

}  // namespace fw
