#pragma once
// The window's logic without a window, over a live device: console dialogs, the
// window-thread loop and the activation run as the window runs it, with the card type
// that library mode needs.
#include "app/session.h"
#include "cli/console_services.h"
#include "ui/clock.h"

namespace fw::cli {

struct LiveSession : Session::Clocked<ui::SteadyClock>, Session {
  // The legacy PC, when `audio` has one, offers its ring-0 drivers to the form.
  explicit LiveSession(const SessionAudio& audio);
  // The form goes before the dialogs and the system it was handed.
  ~LiveSession() { form.reset(); }

  // Runs the activation; false, with a message that names `command`, when it failed.
  bool Activate(const char* command);

  ConsoleDialogs dialogs;
  CliSystemServices system;
};

}  // namespace fw::cli
