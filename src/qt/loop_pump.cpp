#include "qt/loop_pump.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <stdexcept>

namespace fw::qt {

LoopPump::LoopPump(ui::WindowLoop& loop) : loop_(loop) {
  eventFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (eventFd_ < 0) throw std::runtime_error("eventfd failed");
  notifier_ = new QSocketNotifier(eventFd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    std::uint64_t count = 0;
    while (read(eventFd_, &count, sizeof count) > 0) {
    }
    Pump();
  });
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] {
    armedFor_ = -1;
    Pump();
  });
  // A loop that only polls (processEvents without waiting) never blocks: awake too.
  auto* dispatcher = QAbstractEventDispatcher::instance();
  connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { Arm(); });
  connect(dispatcher, &QAbstractEventDispatcher::awake, this, [this] { Arm(); });
  loop_.SetWaker(this);
  Wake();  // anything posted before the pump existed
}

LoopPump::~LoopPump() {
  loop_.SetWaker(nullptr);
  delete notifier_;
  close(eventFd_);
}

void LoopPump::Wake() noexcept {
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = write(eventFd_, &one, sizeof one);
}

void LoopPump::Pump() {
  while (loop_.PumpOnce()) {
  }
}

// Handlers may enable or stop window timers at any time: whenever Qt's loop sleeps
// or wakes, the single-shot timer is set for the earliest one due.
void LoopPump::Arm() {
  const std::int64_t wait = loop_.MsUntilNextTimer();
  if (wait < 0) {
    timer_.stop();
    armedFor_ = -1;
    return;
  }
  const std::int64_t due = loop_.GetClock().NowMs() + wait;
  if (timer_.isActive() && armedFor_ == due) return;
  armedFor_ = due;
  timer_.start(static_cast<int>(wait));
}

}  // namespace fw::qt
