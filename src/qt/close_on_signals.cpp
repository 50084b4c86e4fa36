#include "qt/close_on_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace fw::qt {
namespace {

int signalPipe[2] = {-1, -1};
std::atomic<int> closingSignals{0};

void OnSignal(int signal) {
  const int saved = errno;
  // A second signal while the window closes (a device that hangs): end at once.
  if (closingSignals.fetch_add(1) > 0) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
  }
  const char byte = 1;
  // Non-blocking: a full socket already holds a close.
  [[maybe_unused]] const auto written = write(signalPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

CloseOnSignals::CloseOnSignals(QWidget& window) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) return;
  closingSignals.store(0);  // each closer counts its own signals
  notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, &window, [&window] {
    char bytes[16];
    while (read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    window.close();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &previous_[i]);
}

CloseOnSignals::~CloseOnSignals() {
  if (notifier_ == nullptr) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous_[i], nullptr);
  notifier_.reset();
  close(signalPipe[0]);
  close(signalPipe[1]);
  signalPipe[0] = signalPipe[1] = -1;
}

}  // namespace fw::qt
