#include "cli/live_session.h"

#include <iostream>

#include "app/startup/headless_start.h"

namespace fw::cli {

LiveSession::LiveSession(const SessionAudio& audio) : Session(clock), system(loop, audio.legacy != nullptr) {
  BuildForm(SessionPlatform({&dialogs, &system, nullptr}, audio));
}

bool LiveSession::Activate(const char* command) {
  bool started = false;
  form->RunCommand([&] {
    StartHeadless(*form, "");
    started = true;
  });
  if (!started) {
    std::cerr << "fretwerk-cli " << command << ": the start-up could not be loaded\n";
    return false;
  }
  // Library mode needs the card type "Any (SB Live, etc.)".
  form->Group("RadioGroup_NameOfSC").SetItemIndex(2);
  return true;
}

}  // namespace fw::cli
