#include "app/realtime/form_mode_host.h"

#include "app/form1.h"
#include "app/system_services.h"

namespace fw {

ModeDevices FormModeHost::Devices() const noexcept {
  const Platform& p = form_.platform;
  return ModeDevices{p.output, p.waveIn, p.waveOut, p.timer, p.kernel};
}

void FormModeHost::ShowMessage(const std::string& text) { form_.ShowMessage(text); }

void FormModeHost::EndProgramNow() {
  if (form_.platform.system != nullptr) form_.platform.system->EndProgramNow();
}

void FormModeHost::RequestTerminate() {
  if (form_.platform.system != nullptr) form_.platform.system->RequestTerminate();
}

}  // namespace fw
