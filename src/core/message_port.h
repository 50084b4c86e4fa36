#pragma once
// The only signals from the audio side to the window thread: posted messages.
#include <cstdint>

namespace fw {

inline constexpr std::uint32_t kOverloadMessage = 0x1400;  // WM_USER + 4096
// MIDI input waits in the device's inbox.
inline constexpr std::uint32_t kMidiMessage = 0x1401;

class MessagePort {
 public:
  virtual ~MessagePort() = default;
  // Lock-free and allocation-free: callable from the audio thread.
  virtual void PostMessage(std::uint32_t message) noexcept = 0;
};

}  // namespace fw
