#include "cli/live_session.h"

#include <iostream>

#include "app/startup/headless_start.h"

namespace fw::cli {

LiveSession::LiveSession(LiveAudio& live, bool ring0Drivers, const std::function<void(Platform&)>& wire)
    : system(loop, ring0Drivers) {
  Platform platform;
  platform.output = &live.Output();
  platform.waveIn = &live.Input();
  platform.delay = &live;
  platform.dialogs = &dialogs;
  platform.system = &system;
  if (wire) wire(platform);
  form = std::make_unique<TForm1>(*engine, loop, platform);
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
