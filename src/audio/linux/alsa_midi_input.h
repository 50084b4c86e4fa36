#pragma once
// The ALSA sequencer port "midi_in" of the client "fretwerk", the MIDI input of the
// ALSA fallback. The sequencer is read by a thread of its own, which waits in poll:
// the stream's thread makes no system call for it. Each program and control change
// goes to the client as the bytes of one MIDI message.
#include <cstddef>
#include <string>
#include <thread>

#include "audio/audio_device.h"

typedef struct _snd_seq snd_seq_t;
struct snd_seq_event;

namespace fw {

// The bytes of the MIDI message a sequencer event stands for, in `bytes`; 0 for an event
// the program does not act on (only program and control changes are).
std::size_t AlsaEventBytes(const snd_seq_event& event, unsigned char (&bytes)[3]);

class AlsaMidiInput {
 public:
  AlsaMidiInput() = default;
  ~AlsaMidiInput() { Stop(); }
  AlsaMidiInput(const AlsaMidiInput&) = delete;
  AlsaMidiInput& operator=(const AlsaMidiInput&) = delete;

  // False, with the reason, when the system has no sequencer.
  bool Start(AudioDeviceClient& client, const std::string& clientName, std::string& error);
  // After Stop returns, the client hears nothing more.
  void Stop();
  // The port's sequencer address, for connecting test clients; -1 when stopped.
  int ClientId() const { return clientId_; }
  int PortId() const { return port_; }

 private:
  void Run();

  snd_seq_t* seq_ = nullptr;
  int clientId_ = -1;
  int port_ = -1;
  int wake_ = -1;  // an eventfd that ends the thread
  AudioDeviceClient* client_ = nullptr;
  std::thread thread_;
};

}  // namespace fw
