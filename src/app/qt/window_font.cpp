#include "app/qt/window_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace fw::qt {

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
