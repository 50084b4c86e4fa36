#pragma once
// Form1 on screen: a fixed-size dialog-style window with a 510 x 478 client area,
// the notebook of seven pages, the strip under it and the status bar. Its events
// reach TForm1: activation and deactivation (the window policy decides what they
// run), close, every key-down before the focused control, every right-button press
// in any window of the program, and every hint, shown for the application's pause.
#include <QPointer>
#include <QWidget>
#include <cstdint>

#include "app/window_policy.h"

namespace fw {
class TForm1;
}

namespace fw::qt {

class QtDialogs;

inline constexpr int kClientWidth = 510;
inline constexpr int kClientHeight = 478;

class MainWindow final : public QWidget {
 public:
  MainWindow(TForm1& form, QtDialogs& dialogs, bool noTaskbarButton);
  ~MainWindow() override;

  TForm1& Form() { return form_; }
  // Every page widget, by page name, for tests and screenshots.
  QWidget* PageWidget(const std::string& page) const;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildStrip();
  FocusTaker TakerOfFocus() const;
  void RightButtonDown(std::uint64_t timestamp);
  bool ChooseForMidiLearn(QWidget* widget);

  TForm1& form_;
  QtDialogs& dialogs_;
  WindowPolicy policy_;
  bool shown_ = false;
  QPointer<QObject> lastReceiver_;
  const QEvent* lastEvent_ = nullptr;
  std::uint64_t lastRightPress_ = ~std::uint64_t{0};
};

}  // namespace fw::qt
