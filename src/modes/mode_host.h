#pragma once
// What the legacy modes need from the program that runs them: the legacy PC's
// devices, its message boxes, and the ways a failure ends the program. The window
// model implements it; the modes include nothing of the window.
#include <cstdint>
#include <string>

namespace fw {

class OutputLibrary;
class WaveInput;
class WaveOutput;
class MultimediaTimer;
class KernelServices;

// nullptr where the system has no such device.
struct ModeDevices {
  OutputLibrary* output = nullptr;  // the output library (common-buffer mode plays through it)
  WaveInput* waveIn = nullptr;
  WaveOutput* waveOut = nullptr;
  MultimediaTimer* timer = nullptr;
  KernelServices* kernel = nullptr;  // the port driver and the realtime drivers
};

class ModeHost {
 public:
  virtual ~ModeHost() = default;
  // Any thread (the common-buffer tick plays through the output library).
  virtual ModeDevices Devices() const noexcept = 0;
  // Window thread from here on.
  virtual void ShowMessage(const std::string& text) = 0;
  // The program ends at once.
  virtual void EndProgramNow() = 0;
  // The application is asked to end when control returns to its loop.
  virtual void RequestTerminate() = 0;
  // The session is ending while a start still waits for the card (the DMA
  // detection, the buffer search): the start gives up.
  virtual bool StartCancelled() = 0;
};

}  // namespace fw
