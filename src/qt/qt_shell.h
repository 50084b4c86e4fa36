#pragma once
// The desktop shell: addresses and local files open with the desktop's opener,
// web pages fall back to their local copies when the site's name does not resolve;
// programs start detached; nothing blocks the window and failures are silent.
#include <QUrl>

#include "app/shell.h"

namespace fw::qt {

// The mail link with `subject` percent-encoded in its query, so that no character of
// it (&, #, %, +) adds or cuts a field.
QUrl MailLink(const std::string& address, const std::string& subject);

class QtShell final : public Shell {
 public:
  void Open(const std::string& target) override;
  void OpenPage(const std::string& address, const std::string& localCopy) override;
  void OpenMail(const std::string& address, const std::string& subject) override;
  void Start(const std::string& program) override;
};

}  // namespace fw::qt
