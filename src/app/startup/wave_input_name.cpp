#include "app/startup/wave_input_name.h"

#include "app/form1.h"

namespace fw {

std::string FirstWaveInputName(TForm1& form) {
  (void)form;
  return {};
}

}  // namespace fw
