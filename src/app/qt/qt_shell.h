#pragma once
// The desktop shell: addresses and local files open with the desktop's opener,
// programs start detached; nothing blocks the window and failures are silent.
#include "app/shell.h"

namespace fw::qt {

class QtShell final : public Shell {
 public:
  void Open(const std::string& target) override;
  void Start(const std::string& program) override;
};

}  // namespace fw::qt
