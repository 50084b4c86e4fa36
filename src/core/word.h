#pragma once
// A 32-bit engine word shared by the window thread and the audio side.
// Relaxed atomic: no lock and no data race; a block may see a half-updated
// set of words, which the chain tolerates.
#include <atomic>
#include <cstdint>
#include <cstring>

#include "core/futex.h"

namespace fw {

template <class T>
class Word {
  static_assert(sizeof(T) == 4, "engine words are 32 bits");
  static_assert(std::atomic<T>::is_always_lock_free);
  static_assert(sizeof(std::atomic<T>) == 4, "the futex reads the word's 32 bits");

 public:
  constexpr Word(T initial = T{}) noexcept : value_(initial) {}
  Word(const Word&) = delete;
  Word& operator=(const Word&) = delete;

  T load() const noexcept { return value_.load(std::memory_order_relaxed); }
  void store(T v) noexcept { value_.store(v, std::memory_order_relaxed); }
  // Stores desired only if the word still holds expected (compared bit for bit),
  // as one indivisible step; true if it stored.
  bool compare_exchange(T expected, T desired) noexcept {
    return value_.compare_exchange_strong(expected, desired, std::memory_order_relaxed);
  }
  // Sleeps while the word holds `value`, at most `timeoutNs`; may return early. For
  // threads that wait for the audio side, never on it (core/polite_wait.h).
  void SleepWhileEquals(T value, long timeoutNs) const noexcept {
    std::int32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    FutexWait(&value_, bits, timeoutNs);
  }
  void WakeAll() noexcept { FutexWakeAll(&value_); }

 private:
  std::atomic<T> value_;
};

using IntWord = Word<std::int32_t>;
using FloatWord = Word<float>;

}  // namespace fw
