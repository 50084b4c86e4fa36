#include "qt/window_font.h"

#include <QFontDatabase>
#include <QProxyStyle>
#include <QStringList>
#include <QStyleFactory>

namespace fw::qt {
namespace {

class WindowStyle final : public QProxyStyle {
 public:
  WindowStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    if (metric == PM_TabBarTabHSpace) return 12;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

}  // namespace

QStyle* MakeWindowStyle() { return new WindowStyle; }

QFont LoadWindowFont() {
  QFont font;
  const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kWindowFontFile));
  const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList{};
  font.setFamily(families.isEmpty() ? QStringLiteral("Sans Serif") : families.first());
  font.setPixelSize(kWindowFontPixels);
  font.setBold(true);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

}  // namespace fw::qt
