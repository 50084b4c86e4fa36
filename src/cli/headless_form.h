#pragma once
// The window's logic without a window or a device, for the commands that only look at
// the controls (controls, preset set): console dialogs, a loop on a fake clock and the
// program directory found as the window finds it.
#include <memory>

#include "app/form1.h"
#include "cli/console_services.h"
#include "engine/engine.h"
#include "ui/clock.h"
#include "ui/window_loop.h"

namespace fw::cli {

struct HeadlessForm {
  HeadlessForm();

  std::unique_ptr<Engine> engine = MakeEngine();
  ui::FakeClock clock;
  ui::WindowLoop loop{clock};
  ConsoleDialogs dialogs;
  CliSystemServices system{loop};
  std::unique_ptr<TForm1> form;
};

}  // namespace fw::cli
