// The window driven through its widgets, as a guitarist would.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>
#include <filesystem>
#include <functional>

#include "app/midi/midi_control.h"
#include "app/startup_state.h"
#include "files/sound_file.h"
#include "qt/binders.h"
#include "tests/qt/window_fixture.h"

namespace fw::test {
namespace {

// Answers the next modal dialog from inside its own event loop; a dialog the answer
// leaves open is rejected, so that the test fails instead of hanging.
void AnswerNextDialog(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      answer(modal);
      if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible()) {
        ADD_FAILURE() << "the answer left " << dialog->windowTitle().toStdString() << " open";
        dialog->reject();
      }
    }
  });
  timer->start(20);
}

bool Running(const WindowFixture& f) { return f.form->Btn("Button_STOP_RT").Enabled(); }

void Start(WindowFixture& f) {
  QTest::mouseClick(f.Widget<QPushButton>("Button_RUN_RT"), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Running(f); }, 10000))
      << f.form->Btn("Button_RUN_RT").Caption() << " / " << f.form->Status().SimpleText();
}

TEST(Window, FrameNotebooksAndEveryControlOnItsPage) {
  WindowFixture f;
  EXPECT_EQ(f.window->size(), QSize(510, 478));
  EXPECT_EQ(f.window->windowTitle(), QStringLiteral("Fretwerk 2.18"));
  EXPECT_EQ(
      f.Widget<QTabWidget>("PageControl1")->tabText(f.Widget<QTabWidget>("PageControl1")->currentIndex()),
      QStringLiteral("REALTIME"));
  EXPECT_EQ(f.Widget<QTabWidget>("PageControl_Effects")->currentIndex(), 3);  // "EQ"
  for (ui::Control* control : f.form->Controls()) {
    if (control->Kind() == ui::ControlKind::PageControl || control->Name() == "Label_output_volume") continue;
    auto* widget = f.Widget<QWidget>(control->Name().c_str());
    ASSERT_NE(widget, nullptr) << control->Name();
    if (!control->Page().empty()) {
      EXPECT_TRUE(f.window->PageWidget(control->Page())->isAncestorOf(widget)) << control->Name();
    }
    EXPECT_EQ(widget->isHidden(), !control->Visible()) << control->Name();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      EXPECT_EQ(button->text(), qt::ScreenText(control->Caption())) << control->Name();
    }
  }
  auto* bar = f.Widget<QScrollBar>("ScrollBar_preEQ4");
  EXPECT_EQ(bar->orientation(), Qt::Vertical);
  EXPECT_EQ(bar->maximum(), 100);
  EXPECT_EQ(f.Widget<QScrollBar>("ScrollBar_OutPut_Volume")->width(), 373);
  // The activation ran on showing: the advice label and the hints are set.
  EXPECT_TRUE(f.Widget<QLabel>("Label_wdm_help")->text().contains(QStringLiteral("clicks or glitches")));
  auto* latMinus = f.Widget<QWidget>("BitBtn_LatMinus");
  EXPECT_EQ(latMinus->toolTip().count(QLatin1Char('\n')), 2);
  // A hint stays for the application's hint pause.
  QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), latMinus->mapToGlobal(QPoint(4, 4)));
  QApplication::sendEvent(latMinus, &help);
  EXPECT_EQ(latMinus->toolTipDuration(), 15000);
}

TEST(Window, WidgetAndControlMoveEachOtherWithOneHandlerCall) {
  WindowFixture f;
  auto& control = f.form->Bar("ScrollBar_Delay_Time");
  int calls = 0;
  auto handler = control.OnChange;
  control.OnChange = [&] {
    ++calls;
    handler();
  };
  auto* widget = f.Widget<QScrollBar>("ScrollBar_Delay_Time");
  widget->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(control.Position(), widget->value());
  EXPECT_EQ(calls, 1);
  control.SetPosition(80);
  EXPECT_EQ(widget->value(), 80);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(f.engine->echo.EchoDelay.load(), 80 * 260);

  auto* box = f.Widget<QCheckBox>("CheckBox_ReverbOnOff");
  const bool before = box->isChecked();
  box->click();
  EXPECT_EQ(f.form->Box("CheckBox_ReverbOnOff").Checked(), !before);
  EXPECT_EQ(f.engine->params.ReverbOn.load(), before ? 0 : 1);
}

TEST(Window, PresetButtonMovesOtherPagesAndHighlights) {
  WindowFixture f;
  auto* type = f.Widget<QWidget>("RadioGroup_Dist_Of12");
  const int before = f.form->Group("RadioGroup_Dist_Of12").ItemIndex();
  auto* hardRock = f.Widget<QPushButton>("BitBtn_HardRock");
  QTest::mouseClick(hardRock, Qt::LeftButton);
  EXPECT_NE(f.form->Group("RadioGroup_Dist_Of12").ItemIndex(), before);
  auto* checked =
      type->findChildren<QAbstractButton*>().at(f.form->Group("RadioGroup_Dist_Of12").ItemIndex());
  EXPECT_TRUE(checked->isChecked());
  EXPECT_EQ(hardRock->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
  EXPECT_EQ(f.Widget<QPushButton>("BitBtn_Clear")->palette().color(QPalette::ButtonText), QColor(0, 0, 0));
}

// A readout follows its bar however it moves; a band with no room beside it reads out
// in the status bar while it has the focus.
TEST(Window, ReadoutsFollowPresetsDragsAndFocus) {
  WindowFixture f;
  auto& colour = f.form->Bar("ScrollBar_Color_Of_Dist");
  auto* readout = f.Widget<QLabel>("Readout:ScrollBar_Color_Of_Dist");
  const QString before = readout->text();
  QTest::mouseClick(f.Widget<QPushButton>("BitBtn_HardRock"), Qt::LeftButton);
  EXPECT_NE(readout->text(), before);
  EXPECT_EQ(readout->text(), qt::ScreenText(colour.ReadoutNow()));

  auto* delay = f.Widget<QScrollBar>("ScrollBar_Delay_Time");
  delay->setSliderDown(true);
  delay->setSliderPosition(30);
  EXPECT_EQ(QToolTip::text(), qt::ScreenText(f.form->Bar("ScrollBar_Delay_Time").ReadoutAt(30)));
  delay->setSliderDown(false);

  ShowPage(*f.form, "EQ");
  auto* band = f.Widget<QScrollBar>("ScrollBar_postEQ4");
  band->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return band->hasFocus(); }));
  auto& model = f.form->Bar("ScrollBar_postEQ4");
  EXPECT_EQ(f.form->Status().SimpleText(), "850: " + model.ReadoutNow());
  model.SetPosition(20);
  EXPECT_EQ(f.form->Status().SimpleText(), "850: " + model.ReadoutNow());
  f.Widget<QWidget>("Button_postEQreset")->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !band->hasFocus(); }));
  EXPECT_EQ(f.form->Status().SimpleText(), "");
}

TEST(Window, AnyKeyTogglesPresetsAndRightButtonSwitchesSlot) {
  WindowFixture f;
  auto* volume = f.Widget<QScrollBar>("ScrollBar_OutPut_Volume");
  volume->setFocus();
  QTest::keyClick(volume, Qt::Key_A);
  EXPECT_EQ(f.Widget<QPushButton>("BitBtn_Solo")->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
  QTest::qWait(300);
  QTest::keyClick(volume, Qt::Key_B);
  EXPECT_EQ(f.Widget<QPushButton>("BitBtn_Solo")->palette().color(QPalette::ButtonText), QColor(0, 0, 0));

  auto* status = f.Widget<QLabel>("StatusBar1");
  QTest::mouseClick(f.Widget<QWidget>("Button_RUN_RT"), Qt::RightButton);
  EXPECT_EQ(status->text(), QStringLiteral("File=B"));
  QTest::mouseClick(f.Widget<QWidget>("ScrollBar_OutPut_Volume"), Qt::RightButton);
  EXPECT_EQ(status->text(), QStringLiteral("File=A"));
}

// "MIDI Learn", a click on a control, a pedal: the click chooses instead of moving,
// and the status bar follows each step and each action.
TEST(Window, MidiLearnChoosesTheClickedControlAndTheStatusBarShowsMidiActions) {
  WindowFixture f;
  StartMidi(*f.form, &f.audio.live->Midi(), f.Path("midi.conf"));
  auto* status = f.Widget<QLabel>("StatusBar1");
  f.form->Btn("Button_MidiLearn").Click();
  auto* gain = f.Widget<QScrollBar>("ScrollBar_Delay_Gain");
  QTest::mouseClick(gain, Qt::LeftButton, {}, QPoint(gain->width() - 30, gain->height() / 2));
  EXPECT_EQ(status->text(), QStringLiteral("midi: learn: move a pedal for ScrollBar_Delay_Gain"));
  EXPECT_EQ(gain->value(), 1);
  const unsigned char pedal[] = {0xB0, 20, 127};
  f.audio.live->MidiReceived(pedal, sizeof pedal);
  f.loop.PumpOnce();
  EXPECT_EQ(status->text(), QStringLiteral("midi: learned cc 20 ScrollBar_Delay_Gain"));
  f.audio.live->MidiReceived(pedal, sizeof pedal);
  f.loop.PumpOnce();
  EXPECT_EQ(gain->value(), 100);
  EXPECT_EQ(status->text(), QStringLiteral("midi: cc 20 = 127 -> ScrollBar_Delay_Gain 100"));
}

TEST(Window, StartPlaysAFileChosenInTheOpenDialogAndCloseStopsAndFinishesTheRecording) {
  WindowFixture f;
  const std::string wav = f.Path("take.wav");
  WriteSound(wav, std::vector<std::int16_t>(22050, 1000), 1, 22050);
  Start(f);
  EXPECT_EQ(f.Widget<QPushButton>("Button_RUN_RT")->text(), QStringLiteral("Working"));

  const int activations = StartupOf(*f.form).activations;
  QString title;
  AnswerNextDialog([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    title = dialog->windowTitle();
    // Into the name field: selectFile() is ignored while the dialog is still
    // listing its folder and that field has the focus.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(wav));
    static_cast<QDialog*>(dialog)->accept();
  });
  QTest::mouseClick(f.Widget<QPushButton>("Button3"), Qt::LeftButton);
  EXPECT_EQ(title, QStringLiteral("Open WAV file"));
  EXPECT_TRUE(f.Widget<QPushButton>("BitBtn1")->isEnabled());
  EXPECT_TRUE(Running(f)) << "a file dialog does not deactivate the window";
  QTest::qWait(50);
  EXPECT_EQ(StartupOf(*f.form).activations, activations) << "nor reactivate it";

  const std::string take = f.Path("take");
  f.form->Get<ui::Edit>("Edit_Open_R").SetText(take);
  QTest::mouseClick(f.Widget<QPushButton>("BitBtn_Start_Record"), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.form->Btn("BitBtn_Stop_R").Enabled(); }, 5000));
  QTest::qWait(300);
  f.window->close();
  EXPECT_FALSE(Running(f));
  EXPECT_TRUE(f.form->Btn("Button_RUN_RT").Enabled());
  EXPECT_FALSE(f.form->Btn("BitBtn_Stop_R").Enabled());
  EXPECT_GT(std::filesystem::file_size(take + ".au"), 128u);
}

TEST(Window, RealtimePageShowsTheInputToOutputDelayWhilePlaying) {
  WindowFixture f;
  auto* delay = f.Widget<QLabel>("Label_Delay");
  EXPECT_TRUE(delay->text().isEmpty());
  Start(f);
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return delay->text().startsWith(QStringLiteral("In ->out delay: ")); }, 10000))
      << delay->text().toStdString();
  QTest::mouseClick(f.Widget<QPushButton>("Button_STOP_RT"), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return delay->text().isEmpty(); }, 5000));
}

TEST(Window, HardwareMailCarriesTheReportAndLinksOpenThroughTheShell) {
  WindowFixture f;
  f.Widget<QPushButton>("BitBtn4")->click();
  f.Widget<QPushButton>("BitBtn_Help_on_ND")->click();
  ASSERT_EQ(f.shell.opened.size(), 2u);
  EXPECT_EQ(f.shell.opened[0], "mailto:hardware@fretwerk.example.org?subject=failed");
  EXPECT_EQ(f.shell.opened[1], "https://fretwerk.example.org/help_nd.htm");
  EXPECT_EQ(f.shell.localCopies, std::vector<std::string>{f.Path("help_nd.htm")});
}

// A message box during play (here the system's line breaks in its text) leaves the
// capture open and the sound going, and its closing does not run the activation,
// which would reload the default preset over the user's settings.
TEST(Window, PlayGoesOnUnderAMessageBoxAndItsClosingRunsNoActivation) {
  WindowFixture f;
  Start(f);
  const int activations = StartupOf(*f.form).activations;
  const auto capturing = [&] {
    return f.form->io.waveIn.running.load() != 0 && f.audio.live->Input().IsStarted();
  };
  QString text;
  bool capturingUnderBox = false;
  AnswerNextDialog([&](QWidget* modal) {
    text = qobject_cast<QMessageBox*>(modal)->text();
    capturingUnderBox = capturing();
    qobject_cast<QMessageBox*>(modal)->accept();
  });
  f.form->ShowMessage("first\n\rsecond");
  EXPECT_EQ(text, QStringLiteral("first\nsecond"));
  EXPECT_TRUE(capturingUnderBox);
  ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
  QCoreApplication::processEvents();
  EXPECT_EQ(StartupOf(*f.form).activations, activations);
  EXPECT_TRUE(capturing());
  EXPECT_TRUE(Running(f));
  f.window->close();  // the session ends before the fixture lets the card go
}

TEST(Window, ProgramEntryEndsAtOnceOnASingleArgumentOtherThanOne) {
  QProcess program;
  program.start(QStringLiteral(FRETWERK_WINDOW), {QStringLiteral("2")});
  ASSERT_TRUE(program.waitForFinished(10000));
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_EQ(program.readAllStandardError(), QByteArray());
}

}  // namespace
}  // namespace fw::test
