#include "audio/midi_inbox.h"

#include <thread>

namespace fw {

void MidiInbox::Receive(const unsigned char* bytes, std::size_t size) noexcept {
  if (size < 2) return;
  MidiMessage message{bytes[0], static_cast<std::uint8_t>(bytes[1] & 0x7F), 0};
  if (message.IsControlChange()) {
    if (size < 3) return;
    message.data2 = static_cast<std::uint8_t>(bytes[2] & 0x7F);
  } else if (!message.IsProgramChange()) {
    return;
  }
  // The sequentially consistent count and port pair up with Detach.
  posting_.fetch_add(1);
  MessagePort* port = port_.load();
  const std::uint32_t head = head_.load(std::memory_order_relaxed);
  if (port == nullptr || head - tail_.load(std::memory_order_acquire) >= kCapacity) {
    if (port != nullptr) dropped_.fetch_add(1, std::memory_order_relaxed);
  } else {
    ring_[head % kCapacity].store(
        std::uint32_t{message.status} << 16 | std::uint32_t{message.data1} << 8 | message.data2,
        std::memory_order_relaxed);
    head_.store(head + 1, std::memory_order_release);
    port->PostMessage(kMidiMessage);
  }
  posting_.fetch_sub(1);
}

void MidiInbox::Attach(MessagePort* port) noexcept {
  Detach();
  tail_.store(head_.load(std::memory_order_acquire), std::memory_order_release);
  port_.store(port);
}

void MidiInbox::Detach() noexcept {
  port_.store(nullptr);
  while (posting_.load() != 0) std::this_thread::yield();
}

bool MidiInbox::Pop(MidiMessage& message) noexcept {
  const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
  if (tail == head_.load(std::memory_order_acquire)) return false;
  const std::uint32_t word = ring_[tail % kCapacity].load(std::memory_order_relaxed);
  tail_.store(tail + 1, std::memory_order_release);
  message.status = static_cast<std::uint8_t>(word >> 16);
  message.data1 = static_cast<std::uint8_t>(word >> 8);
  message.data2 = static_cast<std::uint8_t>(word);
  return true;
}

}  // namespace fw
