#pragma once
// The window as the legacy modes' host: the form's platform devices, its message
// boxes and the system services that end the program.
#include <functional>

#include "modes/mode_host.h"

namespace fw {

class TForm1;

class FormModeHost final : public ModeHost {
 public:
  // `cancelled` says whether a waiting start should give up; empty: never.
  FormModeHost(TForm1& form, const std::function<bool()>& cancelled) : form_(form), cancelled_(cancelled) {}

  ModeDevices Devices() const noexcept override;
  void ShowMessage(const std::string& text) override;
  void EndProgramNow() override;
  void RequestTerminate() override;
  bool StartCancelled() override { return cancelled_ && cancelled_(); }

 private:
  TForm1& form_;
  const std::function<bool()>& cancelled_;
};

}  // namespace fw
