#include "qt/window_program.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/linux_system_services.h"
#include "app/midi/midi_config_file.h"
#include "app/midi/midi_control.h"
#include "app/realtime/realtime_control.h"
#include "app/session.h"
#include "app/session_end.h"
#include "app/startup/command_line.h"
#include "app/startup/form_activate.h"
#include "qt/close_on_signals.h"
#include "qt/live_audio_setting.h"
#include "qt/loop_pump.h"
#include "qt/main_window.h"
#include "qt/qt_dialogs.h"
#include "qt/qt_shell.h"
#include "qt/window_font.h"
#include "ui/clock.h"

namespace fw::qt {
namespace {

// --help and --version answer on the terminal; any other single argument keeps its
// old meaning.
bool AnswerInfoRequest(const std::string& argument) {
  if (argument == "--version") {
    std::cout << "fretwerk " FRETWERK_VERSION "\n";
    return true;
  }
  if (argument != "--help" && argument != "-h") return false;
  std::cout
      << "Usage: fretwerk [1]\n"
         "The Fretwerk window: a real-time effects processor for the electric guitar.\n"
         "  (no argument)  open the local help page, then the window\n"
         "  1              the window without a task-bar button\n"
         "  --help         this text\n"
         "  --version      the version\n"
         "Live audio: FRETWERK_AUDIO=jack, alsa or virtual (default: JACK when a server runs, else ALSA).\n"
         "Without a window: fretwerk-cli --help\n";
  return true;
}

}  // namespace

int RunWindowProgram(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.size() == 1 && AnswerInfoRequest(arguments.front())) return 0;
  const StartPlan plan = PlanStart(arguments);
  if (plan.mode == StartMode::EndAtOnce) return 0;
  // A closed pipe is a failed write, reported where it happens, not the program's end.
  std::signal(SIGPIPE, SIG_IGN);

  QApplication app(argc, argv);
  QApplication::setStyle(MakeWindowStyle());
  QApplication::setApplicationName(QStringLiteral("Fretwerk"));
  QApplication::setDesktopFileName(QStringLiteral("org.example.fretwerk.Fretwerk"));
  QApplication::setFont(LoadWindowFont());

  LinuxSystemServices system([] { QTimer::singleShot(0, [] { QApplication::closeAllWindows(); }); });
  QtShell shell;
  try {
    system.ProgramDirectory();
  } catch (const ProgramDirectoryRefused& refused) {
    std::cerr << "fretwerk: " << refused.what() << "\n";
    return 1;
  }
  if (!RunProgramEntry(plan, system, &shell)) return 0;

  std::string error;
  AudioChoice choice;
  if (!ChooseAudio("", "", choice, error)) std::cerr << "fretwerk: " << error << "\n";
  SessionAudio audio;
  if (!audio.Open(choice, LiveAudioChoiceFromEnvironment(choice.backend), system.ProgramDirectory(), error))
    std::cerr << "fretwerk: " << error << "\n";
  system.SetRing0Drivers(audio.legacy != nullptr);

  QtDialogs dialogs;
  ui::SteadyClock clock;
  Session session{clock};
  TForm1& form = session.BuildForm(SessionPlatform({&dialogs, &system, &shell}, audio));
  LiveAudio* live = audio.live.get();
  LoopPump pump{session.loop};
  FormCreate(form, arguments);
  StartMidi(form, live != nullptr ? &live->Midi() : nullptr, MidiConfigPath());
  int status = 0;
  {
    MainWindow window{form, dialogs, plan.mode == StartMode::NoTaskbarButton};
    const CloseOnSignals closer{window};
    // A device that goes away mid-session is stopped as the user would, once.
    QTimer deviceWatch;
    bool lostShown = false;
    if (live != nullptr) {
      QObject::connect(&deviceWatch, &QTimer::timeout, [&] {
        const std::string lost = live->LostReason();
        if (lost.empty() || lostShown) return;
        lostShown = true;
        form.RunCommand([&] { EndSessionOnDeviceLoss(form, lost); });
      });
      deviceWatch.start(250);
    }
    window.show();
    window.activateWindow();
    status = QApplication::exec();
    Realtime(form).FormDestroy();
  }
  if (system.EndedOnFailure()) {
    std::string reason = dialogs.LastMessage();
    std::replace(reason.begin(), reason.end(), '\r', ' ');
    std::cerr << "fretwerk: ended on a fatal error: " << reason << "\n";
    return 1;
  }
  return status;
}

}  // namespace fw::qt
