#pragma once
// Waiting for a word that another thread sets, without burning a core: a bounded
// spin with a pause instruction per turn, then sleeps on the word's futex, which the
// setter ends. The setter makes the system call only while a waiter sleeps.
#include <atomic>
#include <cstdint>

#include "core/word.h"

namespace fw {

// Turns of the spin before the first sleep: a few tens of microseconds.
inline constexpr int kPoliteSpinTurns = 2048;
// A sleep ends after this at the latest, so the waiter sees `keepWaiting` change.
inline constexpr long kPoliteSleepNs = 2'000'000;

// Tells the core that this is a spin loop (lets the other hyper-thread run, saves power).
inline void CpuRelax() noexcept {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#endif
}

// A full fence between a store and a later load of two different words. ThreadSanitizer
// does not model fences, so there a sequentially consistent read-modify-write of the
// sleeper count stands in for it; a wake it misses costs at most one bounded sleep.
inline void FullFence(std::atomic<std::int32_t>& sleepers) noexcept {
#if defined(__SANITIZE_THREAD__)
  sleepers.fetch_add(0, std::memory_order_seq_cst);
#else
  (void)sleepers;
  std::atomic_thread_fence(std::memory_order_seq_cst);
#endif
}

// Waits while `word` holds `value` and keepWaiting() is true. `sleepers` counts the
// waiters asleep on the word, for WakeSleepers.
template <class KeepWaiting>
void WaitWhileEquals(const IntWord& word, std::int32_t value, std::atomic<std::int32_t>& sleepers,
                     KeepWaiting keepWaiting) noexcept {
  for (int turn = 0; turn < kPoliteSpinTurns; ++turn) {
    if (word.load() != value || !keepWaiting()) return;
    CpuRelax();
  }
  while (word.load() == value && keepWaiting()) {
    sleepers.fetch_add(1);
    // Either the setter sees the count or this load sees its store (both fenced).
    FullFence(sleepers);
    if (word.load() == value) word.SleepWhileEquals(value, kPoliteSleepNs);
    sleepers.fetch_sub(1);
  }
}

// After storing a new value into `word`: wakes the waiters asleep on it, if any.
inline void WakeSleepers(IntWord& word, std::atomic<std::int32_t>& sleepers) noexcept {
  FullFence(sleepers);
  if (sleepers.load(std::memory_order_relaxed) != 0) word.WakeAll();
}

}  // namespace fw
