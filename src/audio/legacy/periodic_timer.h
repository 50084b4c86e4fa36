#pragma once
// The multimedia timer of the simulated PC: each event runs on a thread of its own
// at real-time priority where the system allows it, ticking at its delay.
#include <atomic>
#include <cstdint>
#include <thread>

#include "audio/multimedia_timer.h"

namespace fw {

class PeriodicTimer final : public MultimediaTimer {
 public:
  static constexpr int kEvents = 4;

  PeriodicTimer() = default;
  ~PeriodicTimer() override;
  PeriodicTimer(const PeriodicTimer&) = delete;
  PeriodicTimer& operator=(const PeriodicTimer&) = delete;

  std::int32_t timeGetDevCaps(TimeCaps* caps) override;
  std::int32_t timeBeginPeriod(std::uint32_t period) override;
  std::int32_t timeEndPeriod(std::uint32_t period) override;
  std::uint32_t timeSetEvent(std::uint32_t delayMs, std::uint32_t resolutionMs, TimerProc proc, void* context,
                             std::uintptr_t user, std::uint32_t flags) override;
  std::int32_t timeKillEvent(std::uint32_t id) noexcept override;

  // Nanoseconds spent inside ticks, for the share of a core they use.
  std::int64_t BusyNanoseconds() const noexcept { return busyNs_.load(std::memory_order_relaxed); }
  std::int64_t Ticks() const noexcept { return ticks_.load(std::memory_order_relaxed); }

 private:
  struct Event {
    std::thread thread;
    std::atomic<bool> live{false};
    std::atomic<bool> killed{false};
  };
  void Run(int slot, std::uint32_t id, std::uint32_t delayMs, TimerProc proc, void* context,
           std::uintptr_t user, bool periodic) noexcept;
  void Join(int slot) noexcept;

  Event events_[kEvents];
  std::atomic<std::uint32_t> nextId_{1};
  std::atomic<std::uint32_t> ids_[kEvents] = {};
  std::atomic<std::int64_t> busyNs_{0};
  std::atomic<std::int64_t> ticks_{0};
};

}  // namespace fw
