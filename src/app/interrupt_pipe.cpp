#include "app/interrupt_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <system_error>

namespace fw {
namespace {

int pipeEnds[2] = {-1, -1};
std::atomic<int> signalsSeen{0};

void OnSignal(int signal) {
  const int saved = errno;
  // A second signal while the session ends (a device that hangs): end at once.
  if (signalsSeen.fetch_add(1) > 0) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
  }
  const char byte = 1;
  // A full pipe already holds an interrupt: nothing is lost by a failed write.
  [[maybe_unused]] const auto written = write(pipeEnds[1], &byte, 1);
  errno = saved;
}

}  // namespace

InterruptPipe::InterruptPipe() {
  if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
    throw std::system_error(errno, std::generic_category(), "cannot create the interrupt pipe");
  signalsSeen.store(0);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &previousInt_);
  sigaction(SIGTERM, &action, &previousTerm_);
  sigaction(SIGHUP, &action, &previousHup_);
}

InterruptPipe::~InterruptPipe() {
  sigaction(SIGINT, &previousInt_, nullptr);
  sigaction(SIGTERM, &previousTerm_, nullptr);
  sigaction(SIGHUP, &previousHup_, nullptr);
  close(pipeEnds[0]);
  close(pipeEnds[1]);
  pipeEnds[0] = pipeEnds[1] = -1;
}

int InterruptPipe::ReadEnd() const { return pipeEnds[0]; }

bool InterruptPipe::Pending() { return Wait(0); }

bool InterruptPipe::Wait(int milliseconds) {
  if (pending_) return true;
  pollfd fd{pipeEnds[0], POLLIN, 0};
  if (poll(&fd, 1, milliseconds) > 0 && (fd.revents & POLLIN) != 0) {
    char bytes[16];
    while (read(pipeEnds[0], bytes, sizeof bytes) > 0) {
    }
    pending_ = true;
  }
  return pending_;
}

}  // namespace fw
