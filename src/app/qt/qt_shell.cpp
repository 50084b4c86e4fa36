#include "app/qt/qt_shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace fw::qt {

void QtShell::Open(const std::string& target) {
  const QString text = QString::fromStdString(target);
  const bool address = text.startsWith(QStringLiteral("http:")) ||
                       text.startsWith(QStringLiteral("https:")) ||
                       text.startsWith(QStringLiteral("mailto:"));
  QDesktopServices::openUrl(address ? QUrl(text, QUrl::TolerantMode) : QUrl::fromLocalFile(text));
}

void QtShell::Start(const std::string& program) {
  QProcess::startDetached(QString::fromStdString(program), {});
}

}  // namespace fw::qt
