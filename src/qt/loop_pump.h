#pragma once
// Runs the window-thread loop on Qt's event loop: posted messages and tasks wake it
// through an eventfd watched by a socket notifier (writing the eventfd is all the
// audio side does), and one single-shot timer is armed for the next window timer
// whenever Qt's loop is about to sleep or wakes.
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdint>

#include "ui/window_loop.h"

namespace fw::qt {

class LoopPump final : public QObject, public ui::LoopWaker {
 public:
  explicit LoopPump(ui::WindowLoop& loop);
  ~LoopPump() override;
  LoopPump(const LoopPump&) = delete;
  LoopPump& operator=(const LoopPump&) = delete;

  void Wake() noexcept override;

 private:
  void Pump();
  void Arm();

  ui::WindowLoop& loop_;
  int eventFd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  QTimer timer_;
  std::int64_t armedFor_ = -1;
};

}  // namespace fw::qt
