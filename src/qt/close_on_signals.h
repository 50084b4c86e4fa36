#pragma once
// SIGTERM, SIGINT and SIGHUP (a closed terminal) close the window as its close button
// does, a second one ends the program: the interrupt pipe's handler writes to it, and
// a notifier reads it on the window thread. The earlier handlers come back with this
// object's end.
#include <QSocketNotifier>
#include <QWidget>
#include <memory>

#include "app/interrupt_pipe.h"

namespace fw::qt {

class CloseOnSignals {
 public:
  explicit CloseOnSignals(QWidget& window);
  CloseOnSignals(const CloseOnSignals&) = delete;
  CloseOnSignals& operator=(const CloseOnSignals&) = delete;

 private:
  std::unique_ptr<InterruptPipe> pipe_;
  std::unique_ptr<QSocketNotifier> notifier_;  // goes before the pipe it watches
};

}  // namespace fw::qt
