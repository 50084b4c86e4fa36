#include "app/presets/preset_state.h"

#include <memory>

#include "app/form1.h"

namespace fw {

PresetState& PresetsOf(TForm1& form) {
  if (!form.presets) form.presets = std::make_unique<PresetState>();
  return *form.presets;
}

}  // namespace fw
