#pragma once
// The window's logic without a window, over a live device: console dialogs, the
// window-thread loop and the activation run as the window runs it, with the card type
// that library mode needs.
#include <functional>
#include <memory>

#include "app/form1.h"
#include "audio/linux/device_factory.h"
#include "cli/console_services.h"
#include "engine/engine.h"
#include "ui/clock.h"
#include "ui/window_loop.h"

namespace fw::cli {

struct LiveSession {
  // `wire` adds devices (the legacy PC's drivers) to the platform before the form is built.
  LiveSession(LiveAudio& live, bool ring0Drivers, const std::function<void(Platform&)>& wire = {});

  // Runs the activation; false, with a message that names `command`, when it failed.
  bool Activate(const char* command);

  std::unique_ptr<Engine> engine = MakeEngine();
  ui::SteadyClock clock;
  ui::WindowLoop loop{clock};
  ConsoleDialogs dialogs;
  CliSystemServices system;
  std::unique_ptr<TForm1> form;
};

}  // namespace fw::cli
