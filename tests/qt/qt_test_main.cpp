// The window's tests run on Qt's offscreen platform unless a display is chosen.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "qt/window_font.h"

// Sanitizer builds: caches Qt, fontconfig and glib keep until exit, and the worker
// threads of Qt's file dialog, which synchronise inside the uninstrumented libraries.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libQt6Core.so\nleak:libQt6Gui.so\nleak:libQt6Widgets.so\n"
         "leak:libglib-2.0.so\nleak:libdbus-1.so\n";
}
extern "C" const char* __tsan_default_suppressions() {
  return "race:QFileInfoGatherer\nrace:QFileSystemModel\nrace:libglib-2.0.so\n"
         "called_from_lib:libQt6Core.so.6\ncalled_from_lib:libglib-2.0.so.0\n";
}

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("QT_SCALE_FACTOR", "1", 1);
  QApplication app(argc, argv);
  QApplication::setStyle(fw::qt::MakeWindowStyle());
  QApplication::setFont(fw::qt::LoadWindowFont());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
