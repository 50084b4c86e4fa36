#pragma once
// The product name of the first wave-input device, as the activation shows it.
#include <string>

namespace fw {

class TForm1;

std::string FirstWaveInputName(TForm1& form);

}  // namespace fw
