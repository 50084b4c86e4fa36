#pragma once
// The only signal from the audio side to the window thread: a posted message.
#include <cstdint>

namespace fw {

inline constexpr std::uint32_t kOverloadMessage = 0x1400;  // WM_USER + 4096

class MessagePort {
 public:
  virtual ~MessagePort() = default;
  // Lock-free and allocation-free: callable from the audio thread.
  virtual void PostMessage(std::uint32_t message) noexcept = 0;
};

}  // namespace fw
