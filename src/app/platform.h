#pragma once
// The platform services a window needs, handed to TForm1 by the program entry
// (real devices), fretwerk-cli (live or virtual devices) or a test (doubles).
namespace fw {

class OutputLibrary;
class LiveDelay;
class WaveInput;
class SystemServices;
class Shell;
class WaveOutput;
class MultimediaTimer;
class KernelServices;
namespace ui {
class Dialogs;
}

struct Platform {
  OutputLibrary* output = nullptr;
  ui::Dialogs* dialogs = nullptr;
  SystemServices* system = nullptr;
  Shell* shell = nullptr;
  // The system's wave input (library mode's capture); nullptr: no input device.
  WaveInput* waveIn = nullptr;
  // The legacy PC's wave output, multimedia timer and kernel services (ring-0
  // drivers, port driver); nullptr elsewhere.
  WaveOutput* waveOut = nullptr;
  MultimediaTimer* timer = nullptr;
  KernelServices* kernel = nullptr;
  // The live stream's delay for the REALTIME page; nullptr: none to show.
  LiveDelay* delay = nullptr;
};

}  // namespace fw
