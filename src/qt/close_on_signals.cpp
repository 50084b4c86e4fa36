#include "qt/close_on_signals.h"

#include <system_error>

namespace fw::qt {

CloseOnSignals::CloseOnSignals(QWidget& window) {
  try {
    pipe_ = std::make_unique<InterruptPipe>();
  } catch (const std::system_error&) {
    return;  // no descriptors left: the window closes only by its own controls
  }
  notifier_ = std::make_unique<QSocketNotifier>(pipe_->ReadEnd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, &window, [this, &window] {
    if (pipe_->Pending()) window.close();
  });
}

}  // namespace fw::qt
