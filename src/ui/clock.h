#pragma once
// Milliseconds for the window-thread loop: the steady clock in the program, a fake
// one in tests so timers can be stepped.
#include <chrono>
#include <cstdint>

namespace fw::ui {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t NowMs() const = 0;
};

class SteadyClock final : public Clock {
 public:
  std::int64_t NowMs() const override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

class FakeClock final : public Clock {
 public:
  std::int64_t NowMs() const override { return now_; }
  void Set(std::int64_t ms) { now_ = ms; }
  void Advance(std::int64_t ms) { now_ += ms; }

 private:
  std::int64_t now_ = 0;
};

}  // namespace fw::ui
