#include "app/startup/mouse_hook.h"

#include "app/form1.h"
#include "app/pages/file_pages.h"
#include "app/startup_state.h"

namespace fw {

void InstallMouseHook(TForm1& form) { StartupOf(form).mouseHookInstalled = true; }

void MouseHookRightButtonDown(TForm1& form) {
  StartupState& state = StartupOf(form);
  if (!state.mouseHookInstalled) return;
  state.hookSlot = 1 - state.hookSlot;
  // The playback page selects the slot and shows "File=A" or "File=B".
  SelectPlaybackSlot(form, state.hookSlot);
}

}  // namespace fw
