#pragma once
// The window as the legacy modes' host: the form's platform devices, its message
// boxes and the system services that end the program.
#include "modes/mode_host.h"

namespace fw {

class TForm1;

class FormModeHost final : public ModeHost {
 public:
  explicit FormModeHost(TForm1& form) : form_(form) {}

  ModeDevices Devices() const noexcept override;
  void ShowMessage(const std::string& text) override;
  void EndProgramNow() override;
  void RequestTerminate() override;

 private:
  TForm1& form_;
};

}  // namespace fw
