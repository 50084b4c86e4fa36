// The window's tests run on Qt's offscreen platform unless a display is chosen.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "app/qt/window_font.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("QT_SCALE_FACTOR", "1", 1);
  QApplication app(argc, argv);
  QApplication::setStyle(fw::qt::MakeWindowStyle());
  QApplication::setFont(fw::qt::LoadWindowFont());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
