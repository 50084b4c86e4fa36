#pragma once
// Ctrl-C, SIGTERM and SIGHUP (a closed terminal) for a session or the window: the
// handler keeps errno and only writes one byte to a non-blocking pipe (the
// self-pipe), which the session's loop polls or the window's notifier watches, and
// the session ends in order; a second signal ends the program at once, for a session
// whose device hangs. While it exists the pipe owns the three signals; the previous
// handlers come back when it is destroyed, so no signal reaches a reader that is gone.
#include <csignal>

namespace fw {

class InterruptPipe {
 public:
  InterruptPipe();
  ~InterruptPipe();
  InterruptPipe(const InterruptPipe&) = delete;
  InterruptPipe& operator=(const InterruptPipe&) = delete;

  // An interrupt has arrived (it stays pending once seen).
  bool Pending();
  // Waits up to `milliseconds` for an interrupt; true when one is pending.
  bool Wait(int milliseconds);
  // The end to watch for readability (the window's socket notifier).
  int ReadEnd() const;

 private:
  struct sigaction previousInt_ {};
  struct sigaction previousTerm_ {};
  struct sigaction previousHup_ {};
  bool pending_ = false;
};

}  // namespace fw
