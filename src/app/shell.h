#pragma once
// The desktop shell: open a web address, a mail address or a local file.
#include <string>

namespace fw {

class Shell {
 public:
  virtual ~Shell() = default;
  // Failures are silent, as the program ignores them.
  virtual void Open(const std::string& target) = 0;
  // Open a web page, or its local copy (a file; empty for none) when the web site
  // cannot be reached.
  virtual void OpenPage(const std::string& address, const std::string& localCopy) {
    (void)localCopy;
    Open(address);
  }
  // Open a mail to `address` ("mailto:...") with `subject` as the subject, whatever
  // characters it holds.
  virtual void OpenMail(const std::string& address, const std::string& subject) = 0;
  // Start a program without waiting for it.
  virtual void Start(const std::string& program) = 0;
};

}  // namespace fw
