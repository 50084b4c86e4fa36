#pragma once
// Test-only detector for work the audio thread must never do: inside a
// RealtimeScope, every allocation, free and mutex lock on this thread is counted
// and named, so a test can assert that a driver call did none.
#include <string>

namespace fw::test {

class RealtimeScope {
 public:
  RealtimeScope();
  ~RealtimeScope();
  RealtimeScope(const RealtimeScope&) = delete;
  RealtimeScope& operator=(const RealtimeScope&) = delete;
};

// Number of forbidden calls seen inside scopes since the last reset, on any thread.
int RealtimeViolations();
// Name of the first forbidden call seen ("operator new", "malloc", "pthread_mutex_lock" ...).
std::string FirstRealtimeViolation();
void ResetRealtimeViolations();
// False in sanitizer builds, where the sanitizer owns malloc: only operator new is watched.
bool WatchesCAllocator();

}  // namespace fw::test
