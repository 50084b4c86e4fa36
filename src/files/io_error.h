#pragma once
// The input/output error of a checked file step: it ends the whole command and
// is shown with the system's text ("File not found", "I/O error 5"). Where the
// failing file is known, a detail line names it and the reason
// ("cannot write /home/x/solo.pre: No space left on device").
#include <stdexcept>
#include <string>

namespace fw {

class IoError : public std::runtime_error {
 public:
  IoError(int code, const std::string& text, std::string detail = {})
      : std::runtime_error(text), code_(code), detail_(std::move(detail)) {}
  int Code() const { return code_; }
  const std::string& Detail() const { return detail_; }
  // The system's text, then the detail on a line of its own.
  std::string FullText() const { return detail_.empty() ? what() : std::string(what()) + "\n" + detail_; }

  static IoError FileNotFound() { return IoError(2, "File not found"); }
  static IoError AccessDenied() { return IoError(5, "File access denied"); }
  static IoError Other(int code) { return IoError(code, "I/O error " + std::to_string(code)); }

 private:
  int code_;
  std::string detail_;
};

}  // namespace fw
