// Every page of the window against its committed screenshot in docs/screenshots.
// FRETWERK_BLESS_SCREENSHOTS=1 writes the screenshots instead (scripts/screenshots).
#include <gtest/gtest.h>

#include <QImage>
#include <QTabWidget>
#include <cstdlib>

#include "tests/qt/window_fixture.h"

namespace fw::test {
namespace {

constexpr int kChannelTolerance = 24;
constexpr double kPixelShareTolerance = 0.005;

QString FileName(const std::string& page) {
  QString name = QString::fromStdString(page).simplified();
  name.replace(QLatin1Char(' '), QLatin1Char('_')).replace(QLatin1Char('/'), QLatin1Char('-'));
  return QString::fromStdString(SourceDir()) + QStringLiteral("/docs/screenshots/") + name +
         QStringLiteral(".png");
}

double ShareOfDifferentPixels(const QImage& a, const QImage& b) {
  int different = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      if (std::abs(qRed(p) - qRed(q)) > kChannelTolerance ||
          std::abs(qGreen(p) - qGreen(q)) > kChannelTolerance ||
          std::abs(qBlue(p) - qBlue(q)) > kChannelTolerance)
        ++different;
    }
  }
  return static_cast<double>(different) / (a.width() * a.height());
}

TEST(Screenshots, EveryPageLooksAsCommitted) {
  WindowFixture f;
  f.form->Status().SetSimpleText("");
  const bool bless = std::getenv("FRETWERK_BLESS_SCREENSHOTS") != nullptr;
  for (ui::Control* control : f.form->Controls()) {
    auto* notebook = dynamic_cast<ui::PageControl*>(control);
    if (notebook == nullptr) continue;
    for (const auto& page : notebook->Pages()) {
      if (f.window->PageWidget(page)->findChild<QTabWidget*>() != nullptr) continue;  // holds a notebook
      ShowPage(*f.form, page);
      const QImage shot = f.window->grab().toImage().convertToFormat(QImage::Format_RGB32);
      const QString file = FileName(page);
      if (bless) {
        EXPECT_TRUE(shot.save(file)) << file.toStdString();
        continue;
      }
      QImage committed(file);
      ASSERT_FALSE(committed.isNull()) << file.toStdString() << " missing: run scripts/screenshots";
      committed = committed.convertToFormat(QImage::Format_RGB32);
      ASSERT_EQ(committed.size(), shot.size()) << page;
      EXPECT_LE(ShareOfDifferentPixels(committed, shot), kPixelShareTolerance)
          << page << " differs from " << file.toStdString()
          << "; if the change is intended, FRETWERK_BLESS_SCREENSHOTS=1 scripts/screenshots";
    }
  }
}

}  // namespace
}  // namespace fw::test
