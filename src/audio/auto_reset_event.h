#pragma once
// The realtime event: auto-reset, initially unsignalled; Signal never blocks.
#include <atomic>

#include "audio/realtime_shared.h"

namespace fw {

class AutoResetEvent final : public RealtimeEvent {
 public:
  void Wait() noexcept override {
    for (;;) {
      int expected = 1;
      if (state_.compare_exchange_strong(expected, 0)) return;
      state_.wait(0);
    }
  }
  void Signal() noexcept override {
    state_.store(1);
    state_.notify_one();
  }

 private:
  std::atomic<int> state_{0};
};

}  // namespace fw
