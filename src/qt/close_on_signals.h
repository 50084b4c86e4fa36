#pragma once
// SIGTERM, SIGINT and SIGHUP (a closed terminal) close the window as its close button
// does, a second one ends the program. The handler keeps errno and only writes to a
// non-blocking socket that a notifier reads on the window thread; the earlier
// handlers come back with this object's end, so no signal reaches a notifier that is
// gone.
#include <signal.h>

#include <QSocketNotifier>
#include <QWidget>
#include <iterator>
#include <memory>

namespace fw::qt {

class CloseOnSignals {
 public:
  static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

  explicit CloseOnSignals(QWidget& window);
  ~CloseOnSignals();
  CloseOnSignals(const CloseOnSignals&) = delete;
  CloseOnSignals& operator=(const CloseOnSignals&) = delete;

 private:
  std::unique_ptr<QSocketNotifier> notifier_;
  struct sigaction previous_[std::size(kSignals)]{};
};

}  // namespace fw::qt
