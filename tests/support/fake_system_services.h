#pragma once
// System services for tests: a settable time of day, program directory and ring-0
// answer, and a count of termination requests instead of ending the test program.
#include <cstdint>
#include <string>

#include "app/system_services.h"

namespace fw::test {

class FakeSystemServices final : public SystemServices {
 public:
  std::int64_t timeOfDayMs = 12 * 3600 * 1000;
  std::string programDirectory = "./";
  bool ring0 = false;
  int terminateRequests = 0;
  int endNowCalls = 0;

  std::int64_t TimeOfDayMs() override { return timeOfDayMs; }
  bool HasRing0Drivers() override { return ring0; }
  std::string ProgramDirectory() override { return programDirectory; }
  void RequestTerminate() override { ++terminateRequests; }
  void EndProgramNow() override { ++endNowCalls; }
};

}  // namespace fw::test
