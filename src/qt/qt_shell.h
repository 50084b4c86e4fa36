#pragma once
// The desktop shell: addresses and local files open with the desktop's opener,
// web pages fall back to their local copies when the site's name does not resolve;
// programs start detached; nothing blocks the window and failures are silent.
#include "app/shell.h"

namespace fw::qt {

class QtShell final : public Shell {
 public:
  void Open(const std::string& target) override;
  void OpenPage(const std::string& address, const std::string& localCopy) override;
  void Start(const std::string& program) override;
};

}  // namespace fw::qt
