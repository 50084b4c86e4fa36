#include "app/startup/mouse_hook.h"

#include "app/form1.h"
#include "app/startup/playback_slot_link.h"
#include "app/startup/startup_state.h"

namespace fw {

void InstallMouseHook(TForm1& form) { StartupOf(form).mouseHookInstalled = true; }

void MouseHookRightButtonDown(TForm1& form) {
  StartupState& state = StartupOf(form);
  if (!state.mouseHookInstalled) return;
  state.hookSlot = 1 - state.hookSlot;
  SetSelectedPlaybackSlot(form, state.hookSlot);
  form.Status().SetSimpleText(state.hookSlot == 0 ? "File=A" : "File=B");
}

}  // namespace fw
