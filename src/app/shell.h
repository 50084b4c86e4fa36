#pragma once
// The desktop shell: open a web address, a mail address or a local file.
#include <string>

namespace fw {

class Shell {
 public:
  virtual ~Shell() = default;
  // Failures are silent, as the program ignores them.
  virtual void Open(const std::string& target) = 0;
  // Start a program without waiting for it.
  virtual void Start(const std::string& program) = 0;
};

}  // namespace fw
