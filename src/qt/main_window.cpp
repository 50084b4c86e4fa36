#include "qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

#include "app/form1.h"
#include "app/midi/midi_control.h"
#include "app/presets/preset_commands.h"
#include "app/startup/mouse_hook.h"
#include "app/startup_state.h"
#include "qt/binders.h"
#include "qt/page_builder.h"
#include "qt/qt_dialogs.h"
#include "qt/slider_readout_view.h"
#include "qt/tuner_view.h"

#ifndef FRETWERK_VERSION
#define FRETWERK_VERSION "2.18"
#endif

namespace fw::qt {
namespace {

constexpr int kNotebookWidth = 505;
constexpr int kNotebookHeight = 377;
constexpr int kStatusHeight = 22;
constexpr int kFirstActivationWaitMs = 300;

}  // namespace

MainWindow::MainWindow(TForm1& form, QtDialogs& dialogs, bool noTaskbarButton)
    : QWidget(nullptr), form_(form), dialogs_(dialogs), policy_(form) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Fretwerk " FRETWERK_VERSION));
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint;
  // Started with "1": a tool window, which gets no task-bar button.
  if (noTaskbarButton) flags = (flags & ~Qt::Dialog) | Qt::Tool;
  setWindowFlags(flags);
  setFixedSize(kClientWidth, kClientHeight);
  dialogs_.SetParent(this);

  auto& notebook = form_.Get<ui::PageControl>("PageControl1");
  QTabWidget* tabs = BuildNotebook(form_, notebook, kNotebookHeight, this);
  tabs->setGeometry(2, 2, kNotebookWidth, kNotebookHeight);
  BuildStrip();
  InstallTunerViews(form_, *this);
  // The status bar shows MIDI's last action.
  MidiOf(form_).listeners.push_back(
      [&form](const std::string& text) { form.Status().SetSimpleText("midi: " + text); });
  qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  dialogs_.SetParent(nullptr);
}

void MainWindow::BuildStrip() {
  auto* caption = new QLabel(this);
  caption->setGeometry(8, 381, 240, 16);
  BindLabel(*caption, form_.Get<ui::Label>("Label_output_volume"));
  auto* volume = new QScrollBar(Qt::Horizontal, this);
  volume->setObjectName(QStringLiteral("ScrollBar_OutPut_Volume"));
  volume->setGeometry(6, 398, 373, 18);
  BindScrollBar(*volume, form_.Bar("ScrollBar_OutPut_Volume"));
  // Over the bar's right end, on the caption's line.
  QLabel* readout = MakeSliderReadout(form_.Bar("ScrollBar_OutPut_Volume"), this);
  readout->setGeometry(379 - readout->width(), 381, readout->width(), 16);

  const char* saveAs[] = {"BitBtn_BGuitarS", "BitBtn_WebU", "BitBtn5"};
  for (int i = 0; i < 3; ++i) {
    auto* button = new QPushButton(this);
    button->setObjectName(QString::fromLatin1(saveAs[i]));
    button->setGeometry(4 + 126 * i, 422, 124, 30);
    BindButton(*button, form_.Btn(saveAs[i]));
  }
  auto* mixer = new QPushButton(this);
  mixer->setObjectName(QStringLiteral("BitBtn_mix"));
  mixer->setGeometry(384, 382, 122, 70);
  BindButton(*mixer, form_.Btn("BitBtn_mix"));

  auto* status = new QLabel(this);
  status->setObjectName(QStringLiteral("StatusBar1"));
  status->setFrameShape(QFrame::Panel);
  status->setFrameShadow(QFrame::Sunken);
  status->setGeometry(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);
  status->setIndent(4);
  BindStatusBar(*status, form_.Status());
}

QWidget* MainWindow::PageWidget(const std::string& page) const {
  return findChild<QWidget*>(QString::fromStdString("Page:" + page));
}

// Which window took the focus: a file dialog counts as the system's, not the
// program's, and no active window means another application has it.
FocusTaker MainWindow::TakerOfFocus() const {
  QWidget* active = QApplication::activeWindow();
  if (dialogs_.FileDialogOpen()) return FocusTaker::SystemDialog;
  if (active == nullptr) return FocusTaker::OtherApplication;
  if (qobject_cast<QMessageBox*>(active) != nullptr) return FocusTaker::OwnMessageBox;
  return FocusTaker::OwnWindow;
}

bool MainWindow::event(QEvent* event) {
  if (event->type() == QEvent::Show && !shown_) {
    shown_ = true;
    QTimer::singleShot(kFirstActivationWaitMs, this, [this] { policy_.ShownWithoutActivation(); });
  } else if (event->type() == QEvent::WindowActivate) {
    policy_.Activated();
  } else if (event->type() == QEvent::WindowDeactivate) {
    if (QApplication::activeWindow() != this) policy_.Deactivated(TakerOfFocus());
  }
  return QWidget::event(event);
}

// A press passed on to the parents of a widget that ignored it arrives again as a
// copy with the same time stamp: it is one press.
void MainWindow::RightButtonDown(std::uint64_t timestamp) {
  if (timestamp == lastRightPress_) return;
  lastRightPress_ = timestamp;
  MouseHookRightButtonDown(form_);
}

// The first receiver of a key event is the target; the same event passed on to the
// target's parents is not counted again.
// While "MIDI Learn" waits, a click on a control chooses it instead of moving it.
bool MainWindow::ChooseForMidiLearn(QWidget* widget) {
  if (!MidiOf(form_).choosingTarget) return false;
  for (; widget != nullptr; widget = widget->parentWidget()) {
    if (ChooseMidiLearnTarget(form_, widget->objectName().toStdString())) return true;
  }
  return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  // A hint stays for the application's hint pause, which the activation sets.
  if (type == QEvent::ToolTip && watched->isWidgetType())
    static_cast<QWidget*>(watched)->setToolTipDuration(StartupOf(form_).hintHidePauseMs);
  if ((type == QEvent::KeyPress || type == QEvent::MouseButtonPress) && watched->isWidgetType()) {
    const bool passedOn =
        event == lastEvent_ && !lastReceiver_.isNull() && watched != lastReceiver_ &&
        static_cast<QWidget*>(watched)->isAncestorOf(static_cast<QWidget*>(lastReceiver_.data()));
    lastEvent_ = event;
    lastReceiver_ = watched;
    if (!passedOn) {
      auto* widget = static_cast<QWidget*>(watched);
      if (type == QEvent::KeyPress && widget->window() == this) FormKeyDown(form_);
      if (type == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
        RightButtonDown(static_cast<QMouseEvent*>(event)->timestamp());
      if (type == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
          ChooseForMidiLearn(widget))
        return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  CloseMainWindow(form_);
  event->accept();
  // The program is this window: it ends with it, also as a tool window, which Qt
  // does not count as the last window.
  QCoreApplication::quit();
}

}  // namespace fw::qt
