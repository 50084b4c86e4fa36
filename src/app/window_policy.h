#pragma once
// What the main window's activation, deactivation and close do, whatever draws the
// window. The view says which kind of window took the focus; the policy decides when
// the activation sequence runs, when the wave devices close, and how closing the
// window ends the session.
namespace fw {

class TForm1;

// The window that took the focus from the main window.
enum class FocusTaker {
  OtherApplication,  // another program's window, or none
  SystemDialog,      // a file dialog: the system's window, not one of the program's
  OwnMessageBox,     // the program's message boxes and its error display
  OwnWindow,         // any other window of the program
};

class WindowPolicy {
 public:
  explicit WindowPolicy(TForm1& form) : form_(form) {}

  // The main window became active. The activation sequence runs the first time, and
  // again when the window comes back from another window of the program. Coming back
  // from another application, a file dialog or a message box runs nothing: a box
  // shown during play (or by the activation itself) neither stops the sound nor
  // reloads the default preset over the user's settings.
  void Activated();
  // The main window lost the focus to `taker`. Only another window of the program
  // stops the audio (FormDeactivate); play goes on under the program's message boxes.
  void Deactivated(FocusTaker taker);
  // A desktop that keeps new windows from the focus never activates the window: once
  // it is on screen, the start-up's activation runs all the same.
  void ShownWithoutActivation();

  bool EverActivated() const { return activated_; }

 private:
  void RunActivation();

  TForm1& form_;
  bool activated_ = false;
  bool backFromOwnWindow_ = false;
};

// Closing the main window ends the session as every session ends (Stop, then the
// Record page's Stop for a running take), then releases the devices.
void CloseMainWindow(TForm1& form);

}  // namespace fw
