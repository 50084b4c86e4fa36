#include "app/startup/wave_input_name.h"

#include <cstring>

#include "app/form1.h"
#include "audio/wave_input.h"

namespace fw {

std::string FirstWaveInputName(TForm1& form) {
  WaveInCaps caps;
  if (form.platform.waveIn != nullptr) form.platform.waveIn->GetDevCaps(0, &caps);
  // The product name field holds at most 32 characters, not always terminated.
  return std::string(caps.productName, strnlen(caps.productName, WaveInCaps::kNameLength));
}

}  // namespace fw
