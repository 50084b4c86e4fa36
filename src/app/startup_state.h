#pragma once
// The application shell's window-thread state, held in TForm1's shell slot: what the
// activation sequence remembers between activations and the mouse hook's own copy
// of the selected playback slot.
#include <cstdint>
#include <string>

namespace fw {

class TForm1;

struct StartupState {
  bool noTaskbarButton = false;  // started with the argument "1"
  bool mouseHookInstalled = false;
  int hookSlot = 0;  // the hook's own copy of the selected slot (0 = A, 1 = B)
  int activations = 0;
  int hintHidePauseMs = 2500;
  std::string dialogDirectory;  // where the open dialogs start
  // The DMA detection's report, the subject of the hardware mail.
};

StartupState& StartupOf(TForm1& form);

}  // namespace fw
