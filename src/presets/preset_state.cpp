#include "presets/preset_state.h"

#include <memory>

#include "app/form1.h"

namespace fw {

PresetState& PresetsOf(TForm1& form) {
  if (!form.presets) form.presets = std::make_shared<PresetState>();
  return *static_cast<PresetState*>(form.presets.get());
}

}  // namespace fw
