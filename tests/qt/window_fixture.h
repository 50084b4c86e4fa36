#pragma once
// The real window over a TForm1 with the virtual sound card, in a program directory
// of its own holding the fixed presets; dialogs are the real Qt ones.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>

#include "app/linux_system_services.h"
#include "app/session.h"
#include "app/shell.h"
#include "qt/loop_pump.h"
#include "qt/main_window.h"
#include "qt/qt_dialogs.h"
#include "support/recording_shell.h"
#include "support/test_paths.h"
#include "ui/clock.h"

namespace fw::test {

struct WindowFixture : Session::Clocked<ui::SteadyClock>, Session {
  QTemporaryDir directory;
  LinuxSystemServices system;
  RecordingShell shell;
  qt::QtDialogs dialogs;
  SessionAudio audio;
  std::unique_ptr<qt::LoopPump> pump;
  std::unique_ptr<qt::MainWindow> window;

  WindowFixture() : Session(clock) {
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
    audio.Open(AudioChoice{}, choice, "", error);
    BuildForm(SessionPlatform({&dialogs, &system, &shell}, audio));
    pump = std::make_unique<qt::LoopPump>(loop);
    window = std::make_unique<qt::MainWindow>(*form, dialogs, false);
    window->show();
    window->activateWindow();
    (void)QTest::qWaitForWindowActive(window.get());
  }
  // The window and the form go before the services and the audio they were handed.
  ~WindowFixture() {
    window.reset();
    pump.reset();
    form.reset();
  }

  template <class W>
  W* Widget(const char* name) const {
    return window->findChild<W*>(QString::fromLatin1(name));
  }

  std::string Path(const char* name) const {
    return directory.filePath(QString::fromLatin1(name)).toStdString();
  }
};

// Shows a page by opening it in its notebook and that notebook's page in its own.
inline void ShowPage(TForm1& form, const std::string& page) {
  for (ui::Control* control : form.Controls()) {
    auto* notebook = dynamic_cast<ui::PageControl*>(control);
    if (notebook == nullptr) continue;
    const auto& pages = notebook->Pages();
    const auto it = std::find(pages.begin(), pages.end(), page);
    if (it == pages.end()) continue;
    if (!notebook->Page().empty()) ShowPage(form, notebook->Page());
    notebook->SetActivePageIndex(static_cast<int>(it - pages.begin()));
  }
}

}  // namespace fw::test
