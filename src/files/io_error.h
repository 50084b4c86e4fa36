#pragma once
// The input/output error of a checked file step: it ends the whole command and
// is shown with the system's text ("File not found", "I/O error 5").
#include <stdexcept>
#include <string>

namespace fw {

class IoError : public std::runtime_error {
 public:
  IoError(int code, const std::string& text) : std::runtime_error(text), code_(code) {}
  int Code() const { return code_; }

  static IoError FileNotFound() { return IoError(2, "File not found"); }
  static IoError AccessDenied() { return IoError(5, "File access denied"); }
  static IoError Other(int code) { return IoError(code, "I/O error " + std::to_string(code)); }

 private:
  int code_;
};

}  // namespace fw
