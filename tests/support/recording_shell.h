#pragma once
// A shell that records what it was asked to open or start instead of doing it.
#include <string>
#include <vector>

#include "app/shell.h"

namespace fw::test {

struct RecordingShell final : Shell {
  std::vector<std::string> opened;       // targets as given; programs as "start <program>"
  std::vector<std::string> localCopies;  // of the pages opened with OpenPage
  void Open(const std::string& target) override { opened.push_back(target); }
  void OpenPage(const std::string& address, const std::string& localCopy) override {
    opened.push_back(address);
    localCopies.push_back(localCopy);
  }
  // A mail as "<address>?subject=<subject>", the subject as given.
  void OpenMail(const std::string& address, const std::string& subject) override {
    opened.push_back(address + "?subject=" + subject);
  }
  void Start(const std::string& program) override { opened.push_back("start " + program); }
};

}  // namespace fw::test
