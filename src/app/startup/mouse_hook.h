#pragma once
// The mouse hook: a right-button press anywhere in the program's windows switches
// file playback between slots A and B and says so in the status bar ("File=A").
// The window's loop calls it for every right-button press.
namespace fw {

class TForm1;

void InstallMouseHook(TForm1& form);
void MouseHookRightButtonDown(TForm1& form);

}  // namespace fw
