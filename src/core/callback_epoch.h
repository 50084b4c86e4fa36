#pragma once
// Marks a device callback's entry and exit on an epoch counter (odd while inside), so
// that another thread can wait for the callback running now to end. A flag set on
// entry would not do: back-to-back callbacks keep it set, and the waiter could miss
// the moment between them for ever; each callback moves the epoch on.
#include <atomic>
#include <cstdint>
#include <thread>

namespace fw {

class CallbackEpoch {
 public:
  void Enter() noexcept { epoch_.fetch_add(1); }
  void Leave() noexcept { epoch_.fetch_add(1); }
  // Returns once no callback that began before the call is still running; a change
  // stored before it is seen by every callback after it.
  void Quiesce() const noexcept {
    const std::uint32_t seen = epoch_.load();
    if ((seen & 1u) == 0) return;
    while (epoch_.load() == seen) std::this_thread::yield();
  }

 private:
  std::atomic<std::uint32_t> epoch_{0};
};

}  // namespace fw
