#include "qt/tuner_view.h"

#include <QFrame>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "app/form1.h"
#include "app/tuner/tuner_state.h"

namespace fw::qt {
namespace {

constexpr double kInTuneCents = 3.0;
const QColor kInTune(0, 160, 0);
const QColor kOutOfTune(200, 120, 0);
const QColor kClip(220, 0, 0);

class TunerView : public QWidget {
 public:
  TunerView(TunerState& state, QWidget* parent) : QWidget(parent), state_(state) { setMinimumHeight(150); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const std::optional<NoteReading> reading = state_.tuner.Running() ? state_.tuner.Reading() : std::nullopt;
    const bool inTune = reading && std::fabs(reading->cents) <= kInTuneCents;
    const QColor colour = !reading ? palette().color(QPalette::Mid) : inTune ? kInTune : kOutOfTune;

    QFont big = font();
    big.setPixelSize(64);
    big.setBold(true);
    painter.setFont(big);
    painter.setPen(colour);
    const QRect noteArea(0, 0, width(), 80);
    const QString note = reading ? QString::fromStdString(reading->name + std::to_string(reading->octave))
                                 : QStringLiteral("-");
    painter.drawText(noteArea, Qt::AlignCenter, note);

    // The cents bar: -50 .. 50, the middle marked, the reading's side filled.
    const QRect bar(10, 88, width() - 20, 22);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(bar);
    const int middle = bar.center().x();
    painter.drawLine(middle, bar.top() - 4, middle, bar.bottom() + 4);
    if (reading) {
      const int end = middle + static_cast<int>(std::lround(reading->cents / 50.0 * (bar.width() / 2)));
      painter.fillRect(QRect(QPoint(std::min(middle, end), bar.top() + 3),
                             QPoint(std::max(middle, end), bar.bottom() - 2)),
                       colour);
    }

    QFont small = font();
    small.setPixelSize(15);
    painter.setFont(small);
    painter.setPen(palette().color(QPalette::WindowText));
    QString detail = state_.tuner.Running() ? QStringLiteral("play a string") : QStringLiteral("tuner off");
    if (reading) {
      char text[64];
      std::snprintf(text, sizeof text, "%+.1f cents   %.2f Hz", reading->cents, reading->hz);
      detail = QString::fromLatin1(text);
    }
    painter.drawText(QRect(0, 114, width(), 24), Qt::AlignCenter, detail);
  }

 private:
  TunerState& state_;
};

class MeterView : public QWidget {
 public:
  MeterView(TunerState& state, QWidget* parent) : QWidget(parent), state_(state) { setMinimumHeight(60); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    DrawMeter(painter, 4, "in", state_.input);
    DrawMeter(painter, 32, "out", state_.output);
  }

 private:
  void DrawMeter(QPainter& painter, int top, const char* name, const MeterDisplay& meter) {
    constexpr int kLabel = 30;
    constexpr int kLamp = 44;
    const QRect bar(kLabel, top, width() - kLabel - kLamp - 8, 20);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(0, top, kLabel, 20), Qt::AlignVCenter | Qt::AlignLeft, QString::fromLatin1(name));
    painter.fillRect(bar, palette().color(QPalette::Base));
    const auto x = [&bar](float db) {
      const float share = std::clamp(1.0f - db / MeterDisplay::kFloorDb, 0.0f, 1.0f);
      return bar.left() + static_cast<int>(std::lround(share * static_cast<float>(bar.width())));
    };
    painter.fillRect(QRect(QPoint(bar.left(), bar.top() + 1), QPoint(x(meter.PeakDb()), bar.bottom() - 1)),
                     meter.PeakDb() > -6.0f ? kOutOfTune : kInTune);
    painter.setPen(palette().color(QPalette::WindowText));
    const int hold = x(meter.HoldDb());
    if (meter.HoldDb() > MeterDisplay::kFloorDb) painter.drawLine(hold, bar.top(), hold, bar.bottom());
    painter.drawRect(bar);
    const QRect lamp(bar.right() + 6, top, kLamp, 20);
    painter.fillRect(lamp, meter.ClipLit() ? kClip : palette().color(QPalette::Mid));
    painter.setPen(meter.ClipLit() ? Qt::white : palette().color(QPalette::WindowText));
    painter.drawText(lamp, Qt::AlignCenter, QStringLiteral("CLIP"));
  }

  TunerState& state_;
};

// The view fills the paint box and redraws after each poll while it lives.
template <class View>
void Fill(TForm1& form, QWidget& window, const char* box) {
  auto* frame = window.findChild<QFrame*>(QString::fromLatin1(box));
  if (frame == nullptr) return;
  auto* layout = new QVBoxLayout(frame);
  layout->setContentsMargins(0, 0, 0, 0);
  QPointer<View> view = new View(TunerOf(form), frame);
  layout->addWidget(view);
  frame->setMinimumHeight(view->minimumHeight());
  TunerOf(form).listeners.push_back([view] {
    if (view) view->update();
  });
}

}  // namespace

void InstallTunerViews(TForm1& form, QWidget& window) {
  Fill<TunerView>(form, window, "PaintBox_Tuner");
  Fill<MeterView>(form, window, "PaintBox_Meters");
}

}  // namespace fw::qt
