#include "presets/engine_links.h"

#include "app/form1.h"
#include "presets/preset_state.h"

namespace fw {

std::int32_t TubeFlag(const TForm1& form) { return form.engine.params.TubeOn.load(); }
void SetTubeFlag(TForm1& form, std::int32_t value) { form.engine.params.TubeOn.store(value); }

std::int32_t TubeVoicing(const TForm1& form) {
  return PresetsOf(const_cast<TForm1&>(form)).pendingTubeVoicing;
}
void SetTubeVoicing(TForm1& form, std::int32_t value) { PresetsOf(form).pendingTubeVoicing = value; }

void SetFlangerReadPosition(TForm1& form, float position) { (void)form, (void)position; }

void RunTubeDesignSequence(TForm1& form, float p, float q, float r) { (void)form, (void)p, (void)q, (void)r; }

}  // namespace fw
