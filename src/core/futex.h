#pragma once
// The Linux futex on a 32-bit word: a thread sleeps while the word holds a value,
// another wakes it after changing the word. Neither call allocates or locks.
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <ctime>

namespace fw {

// Sleeps while the 32 bits at `word` hold `value`, at most `timeoutNs` (below one
// second); returns at once when they differ, and may return early.
inline void FutexWait(const void* word, std::int32_t value, long timeoutNs) noexcept {
  timespec timeout{0, timeoutNs};
  syscall(SYS_futex, word, FUTEX_WAIT_PRIVATE, value, &timeout, nullptr, 0);
}

inline void FutexWakeAll(const void* word) noexcept {
  syscall(SYS_futex, word, FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}

}  // namespace fw
