#pragma once
// A shell that records what it was asked to open or start instead of doing it.
#include <string>
#include <vector>

#include "app/shell.h"

namespace fw::test {

struct RecordingShell final : Shell {
  std::vector<std::string> opened;  // targets as given; programs as "start <program>"
  void Open(const std::string& target) override { opened.push_back(target); }
  void Start(const std::string& program) override { opened.push_back("start " + program); }
};

}  // namespace fw::test
