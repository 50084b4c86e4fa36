#pragma once
// The multimedia timer: a periodic callback on a timer thread of its own.
#include <cstdint>

namespace fw {

inline constexpr std::uint32_t TIME_PERIODIC = 1;

struct TimeCaps {
  std::uint32_t periodMin = 1;
  std::uint32_t periodMax = 1000000;
};

// The tick: the timer's identifier and the user word given to timeSetEvent.
using TimerProc = void (*)(void* context, std::uint32_t id, std::uintptr_t user) noexcept;

class MultimediaTimer {
 public:
  virtual ~MultimediaTimer() = default;
  virtual std::int32_t timeGetDevCaps(TimeCaps* caps) = 0;
  virtual std::int32_t timeBeginPeriod(std::uint32_t period) = 0;
  virtual std::int32_t timeEndPeriod(std::uint32_t period) = 0;
  // 0 = the timer could not be made. May be called again from inside a tick.
  virtual std::uint32_t timeSetEvent(std::uint32_t delayMs, std::uint32_t resolutionMs, TimerProc proc,
                                     void* context, std::uintptr_t user, std::uint32_t flags) = 0;
  // Safe from inside the timer's own tick.
  virtual std::int32_t timeKillEvent(std::uint32_t id) noexcept = 0;
};

}  // namespace fw
