#pragma once
// Kernel services the program relies on, behind an interface so tests can fake them.
#include <cstdint>
#include <string>

namespace fw {

class SystemServices {
 public:
  virtual ~SystemServices() = default;
  // Milliseconds since midnight, local time (the keyboard toggle measures with it).
  virtual std::int64_t TimeOfDayMs() = 0;
  // Whether ring-0 drivers exist on this system (never on Linux).
  virtual bool HasRing0Drivers() = 0;
  // The program directory, with its trailing separator.
  virtual std::string ProgramDirectory() = 0;
  // Ask the application to terminate when control returns to the loop.
  virtual void RequestTerminate() = 0;
  // End the program at once.
  virtual void EndProgramNow() = 0;
};

}  // namespace fw
