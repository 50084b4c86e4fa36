#pragma once
// The window's logic over an engine of its own, for hosts without a window or a
// device (fretwerk-cli render, the plugin): scripted dialogs, a loop on a fake clock,
// and a directory standing in for the program directory, where the fixed presets
// live. The host brings the output library, which must outlive this.
#include <memory>
#include <string>

#include "app/form1.h"
#include "app/system_services.h"
#include "engine/engine.h"
#include "ui/clock.h"
#include "ui/scripted_dialogs.h"
#include "ui/window_loop.h"

namespace fw {

class OutputLibrary;

// A program directory and the time of day; nothing to terminate.
class DirectorySystem final : public SystemServices {
 public:
  explicit DirectorySystem(std::string programDirectory);
  std::int64_t TimeOfDayMs() override;
  bool HasRing0Drivers() override { return false; }
  std::string ProgramDirectory() override { return directory_; }
  void RequestTerminate() override {}
  void EndProgramNow() override {}

 private:
  std::string directory_;
};

struct HeadlessWindow {
  HeadlessWindow(OutputLibrary& output, const std::string& programDirectory);

  // The activation sequence (controls, designs, dither table, "clear.pre"), then the
  // engine rate, 22050 or 44100, as the "44.1 kHz" option sets it. A failure is left
  // in dialogs.errors, and the rate stays unset.
  void Start(int engineRate);

  std::unique_ptr<Engine> engine = MakeEngine();
  ui::FakeClock clock;
  ui::WindowLoop loop{clock};
  ui::ScriptedDialogs dialogs;
  DirectorySystem system;
  std::unique_ptr<TForm1> form;
};

}  // namespace fw
