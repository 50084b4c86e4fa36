#include "audio/legacy/periodic_timer.h"

#include <pthread.h>
#include <sched.h>

#include <chrono>

#include "core/denormals.h"

namespace fw {

PeriodicTimer::~PeriodicTimer() {
  for (int slot = 0; slot < kEvents; ++slot) {
    events_[slot].killed.store(true);
    Join(slot);
  }
}

std::int32_t PeriodicTimer::timeGetDevCaps(TimeCaps* caps) {
  if (caps == nullptr) return 1;
  caps->periodMin = 1;
  caps->periodMax = 1000000;
  return 0;
}

std::int32_t PeriodicTimer::timeBeginPeriod(std::uint32_t period) { return period == 0 ? 97 : 0; }
std::int32_t PeriodicTimer::timeEndPeriod(std::uint32_t period) { return period == 0 ? 97 : 0; }

void PeriodicTimer::Join(int slot) noexcept {
  Event& e = events_[slot];
  if (e.thread.joinable() && e.thread.get_id() != std::this_thread::get_id()) e.thread.join();
}

std::uint32_t PeriodicTimer::timeSetEvent(std::uint32_t delayMs, std::uint32_t resolutionMs, TimerProc proc,
                                          void* context, std::uintptr_t user, std::uint32_t flags) {
  (void)resolutionMs;
  if (proc == nullptr || delayMs == 0) return 0;
  for (int slot = 0; slot < kEvents; ++slot) {
    Event& e = events_[slot];
    if (e.live.load()) continue;
    Join(slot);
    if (e.thread.joinable()) continue;  // a tick that killed itself is still returning
    const std::uint32_t id = nextId_.fetch_add(1);
    ids_[slot].store(id);
    e.killed.store(false);
    e.live.store(true);
    e.thread = std::thread(&PeriodicTimer::Run, this, slot, id, delayMs, proc, context, user,
                           (flags & TIME_PERIODIC) != 0);
    return id;
  }
  return 0;
}

std::int32_t PeriodicTimer::timeKillEvent(std::uint32_t id) noexcept {
  for (int slot = 0; slot < kEvents; ++slot) {
    if (ids_[slot].load() != id || id == 0) continue;
    events_[slot].killed.store(true);
    Join(slot);
    return 0;
  }
  return 97;  // TIMERR_NOCANDO
}

void PeriodicTimer::Run(int slot, std::uint32_t id, std::uint32_t delayMs, TimerProc proc, void* context,
                        std::uintptr_t user, bool periodic) noexcept {
  sched_param param{};
  param.sched_priority = 10;
  pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);  // refused without the right: normal priority
  FlushDenormalsOnThisThread();
  Event& e = events_[slot];
  const auto period = std::chrono::milliseconds(delayMs);
  auto next = std::chrono::steady_clock::now() + period;
  while (!e.killed.load()) {
    std::this_thread::sleep_until(next);
    next += period;
    if (e.killed.load()) break;
    const auto begin = std::chrono::steady_clock::now();
    proc(context, id, user);
    busyNs_.fetch_add(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - begin)
            .count(),
        std::memory_order_relaxed);
    ticks_.fetch_add(1, std::memory_order_relaxed);
    if (!periodic) break;
    // A late tick does not queue up the ticks it missed.
    const auto now = std::chrono::steady_clock::now();
    if (next < now) next = now;
  }
  e.live.store(false);
}

}  // namespace fw
