#pragma once
// MIDI from a device's thread to the window thread: program and control changes wait
// in a lock-free ring, and a posted message wakes the window thread, the same path
// the overload message takes. Pushing neither allocates nor locks.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "core/message_port.h"

namespace fw {

struct MidiMessage {
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;

  bool IsControlChange() const { return (status & 0xF0) == 0xB0; }
  bool IsProgramChange() const { return (status & 0xF0) == 0xC0; }
};

class MidiInbox {
 public:
  static constexpr std::size_t kCapacity = 256;

  // Device thread (one at a time): keeps a program or control change of any channel
  // and posts kMidiMessage; other messages are ignored, and a full ring drops.
  void Receive(const unsigned char* bytes, std::size_t size) noexcept;

  // Window thread: messages are posted to `port` from now on; what waited before is
  // dropped, so a pedal moved before anybody listened does nothing.
  void Attach(MessagePort* port) noexcept;
  // Window thread: no message is posted any more once this returns.
  void Detach() noexcept;
  bool Pop(MidiMessage& message) noexcept;
  std::int32_t Dropped() const noexcept { return dropped_.load(std::memory_order_relaxed); }

 private:
  std::array<std::atomic<std::uint32_t>, kCapacity> ring_{};
  std::atomic<std::uint32_t> head_{0};  // written by the device thread
  std::atomic<std::uint32_t> tail_{0};  // written by the window thread
  std::atomic<MessagePort*> port_{nullptr};
  std::atomic<int> posting_{0};
  std::atomic<std::int32_t> dropped_{0};
};

}  // namespace fw
