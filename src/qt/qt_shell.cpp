#include "qt/qt_shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHostInfo>
#include <QProcess>
#include <QUrl>
#include <QUrlQuery>

namespace fw::qt {

QUrl MailLink(const std::string& address, const std::string& subject) {
  QUrl url(QString::fromStdString(address));
  QUrlQuery query;
  // Encoded first: the query would read a "%41" in the text as an escape.
  query.addQueryItem(QStringLiteral("subject"),
                     QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(subject))));
  url.setQuery(query);
  return url;
}

void QtShell::Open(const std::string& target) {
  const QString text = QString::fromStdString(target);
  const bool address = text.startsWith(QStringLiteral("http:")) ||
                       text.startsWith(QStringLiteral("https:")) ||
                       text.startsWith(QStringLiteral("mailto:"));
  QDesktopServices::openUrl(address ? QUrl(text, QUrl::TolerantMode) : QUrl::fromLocalFile(text));
}

// The host is looked up without blocking the window; the page opens when the answer
// comes, the local copy when the name does not resolve.
void QtShell::OpenPage(const std::string& address, const std::string& localCopy) {
  const QUrl url(QString::fromStdString(address));
  if (localCopy.empty() || !QFileInfo::exists(QString::fromStdString(localCopy))) {
    Open(address);
    return;
  }
  QHostInfo::lookupHost(url.host(), [this, address, localCopy](const QHostInfo& host) {
    Open(host.error() == QHostInfo::NoError ? address : localCopy);
  });
}

void QtShell::OpenMail(const std::string& address, const std::string& subject) {
  QDesktopServices::openUrl(MailLink(address, subject));
}

void QtShell::Start(const std::string& program) {
  QProcess::startDetached(QString::fromStdString(program), {});
}

}  // namespace fw::qt
