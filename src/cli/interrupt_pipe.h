#pragma once
// Ctrl-C, SIGTERM and SIGHUP (a closed terminal) for a session: the handler only
// writes one byte to a pipe (the self-pipe), and the session's loop reads it and ends
// in order; a second signal ends the program at once, for a session whose device
// hangs. While it exists the pipe owns the three signals; the previous handlers come
// back when it is destroyed.
#include <csignal>

namespace fw::cli {

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

 private:
  struct sigaction previousInt_ {};
  struct sigaction previousTerm_ {};
  struct sigaction previousHup_ {};
  bool pending_ = false;
};

}  // namespace fw::cli
