#include "qt/window_program.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/linux_system_services.h"
#include "app/realtime/realtime_control.h"
#include "app/session.h"
#include "app/session_end.h"
#include "app/startup/command_line.h"
#include "app/startup/form_activate.h"
#include "qt/live_audio_setting.h"
#include "qt/loop_pump.h"
#include "qt/main_window.h"
#include "qt/qt_dialogs.h"
#include "qt/qt_shell.h"
#include "qt/window_font.h"
#include "ui/clock.h"

namespace fw::qt {
namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const auto written = write(signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT close the window as its close button does.
void CloseOnSignals(QWidget& window) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char byte = 0;
    [[maybe_unused]] const auto got = read(signalPipe[0], &byte, 1);
    window.close();
  });
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGINT, OnSignal);
}

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

  QApplication app(argc, argv);
  QApplication::setStyle(MakeWindowStyle());
  QApplication::setApplicationName(QStringLiteral("Fretwerk"));
  QApplication::setDesktopFileName(QStringLiteral("fretwerk"));
  QApplication::setFont(LoadWindowFont());

  LinuxSystemServices system([] { QTimer::singleShot(0, [] { QApplication::closeAllWindows(); }); });
  QtShell shell;
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
  int status = 0;
  {
    MainWindow window{form, dialogs, plan.mode == StartMode::NoTaskbarButton};
    CloseOnSignals(window);
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
  return status;
}

}  // namespace fw::qt
