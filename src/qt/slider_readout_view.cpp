#include "qt/slider_readout_view.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <algorithm>

#include "qt/binders.h"
#include "ui/scroll_bar.h"
#include "ui/simple_controls.h"

namespace fw::qt {
namespace {

// Puts the readout in the status bar on focus and on every move while focused, and
// takes it away on leaving unless something else has written there since.
class FocusReadout : public QObject {
 public:
  FocusReadout(QScrollBar& widget, ui::ScrollBar& bar, std::string caption, ui::StatusBar& status)
      : QObject(&widget), widget_(widget), bar_(bar), caption_(std::move(caption)), status_(status) {}

  // Also when a preset or a pedal moves the bar.
  void Moved() {
    if (widget_.hasFocus()) Show();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) Show();
    if (event->type() == QEvent::FocusOut && status_.SimpleText() == shown_) status_.SetSimpleText({});
    return QObject::eventFilter(watched, event);
  }

 private:
  void Show() {
    shown_ = caption_ + ": " + bar_.ReadoutNow();
    status_.SetSimpleText(shown_);
  }

  QScrollBar& widget_;
  ui::ScrollBar& bar_;
  std::string caption_;
  ui::StatusBar& status_;
  std::string shown_;
};

}  // namespace

QLabel* MakeSliderReadout(ui::ScrollBar& bar, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromStdString("Readout:" + bar.Name()));
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  const QFontMetrics metrics(label->font());
  int width = metrics.horizontalAdvance(QStringLiteral("+00.0 dB"));
  for (int position = bar.Min(); position <= bar.Max(); ++position)
    width = std::max(width, metrics.horizontalAdvance(QString::fromStdString(bar.ReadoutAt(position))));
  label->setFixedWidth(width + 2);
  QPointer<QLabel> guarded(label);
  auto show = [guarded, &bar] {
    if (guarded.isNull()) return;
    guarded->setText(ScreenText(bar.ReadoutNow()));
    guarded->setHidden(!bar.Visible());
  };
  show();
  bar.Observe([show](const ui::Control&) { show(); });
  return label;
}

void ShowReadoutWhileFocused(QScrollBar& widget, ui::ScrollBar& bar, const std::string& caption,
                             ui::StatusBar& status) {
  widget.setFocusPolicy(Qt::StrongFocus);
  auto* readout = new FocusReadout(widget, bar, caption, status);
  widget.installEventFilter(readout);
  QPointer<FocusReadout> guarded(readout);
  bar.Observe([guarded](const ui::Control&) {
    if (!guarded.isNull()) guarded->Moved();
  });
}

}  // namespace fw::qt
