#pragma once
// The real window over a TForm1 with the virtual sound card, in a program directory
// of its own holding the fixed presets; dialogs are the real Qt ones.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>

#include "app/form1.h"
#include "app/linux_system_services.h"
#include "app/shell.h"
#include "app/startup/main_unit.h"
#include "audio/linux/device_factory.h"
#include "engine/engine.h"
#include "qt/loop_pump.h"
#include "qt/main_window.h"
#include "qt/qt_dialogs.h"
#include "support/recording_shell.h"
#include "support/test_paths.h"
#include "ui/clock.h"
#include "ui/window_loop.h"

namespace fw::test {

struct WindowFixture {
  QTemporaryDir directory;
  std::unique_ptr<Engine> engine = MakeEngine();
  ui::SteadyClock clock;
  ui::WindowLoop loop{clock};
  LinuxSystemServices system;
  RecordingShell shell;
  qt::QtDialogs dialogs;
  std::unique_ptr<LiveAudio> live;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<qt::LoopPump> pump;
  std::unique_ptr<qt::MainWindow> window;

  WindowFixture() {
    for (const char* name : kFixedPresetFiles) {
      QFile::copy(QString::fromStdString(BinaryDir() + "/" + name),
                  directory.filePath(QString::fromLatin1(name)));
    }
    system.SetProgramDirectory(directory.path().toStdString());
    LiveAudioChoice choice;
    choice.backend = "virtual";
    choice.virtualCard.inputSamples.assign(4410, 0.25f);
    choice.virtualCard.pacing = VirtualCardOptions::Pacing::Fast;
    std::string error;
    live = MakeLiveAudio(choice, error);
    Platform platform;
    platform.dialogs = &dialogs;
    platform.system = &system;
    platform.shell = &shell;
    platform.output = &live->Output();
    platform.waveIn = &live->Input();
    form = std::make_unique<TForm1>(*engine, loop, platform);
    InitialiseMainUnit(*engine, form->io);
    pump = std::make_unique<qt::LoopPump>(loop);
    window = std::make_unique<qt::MainWindow>(*form, dialogs, false);
    window->show();
    window->activateWindow();
    (void)QTest::qWaitForWindowActive(window.get());
  }

  template <class W>
  W* Widget(const char* name) const {
    return window->findChild<W*>(QString::fromLatin1(name));
  }

  std::string Path(const char* name) const {
    return directory.filePath(QString::fromLatin1(name)).toStdString();
  }
};

}  // namespace fw::test
