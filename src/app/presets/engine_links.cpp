#include "app/presets/engine_links.h"

#include "app/form1.h"
#include "engine/tube_voicings.h"

namespace fw {

std::int32_t TubeFlag(const TForm1& form) { return form.engine.params.TubeOn.load(); }
void SetTubeFlag(TForm1& form, std::int32_t value) { form.engine.params.TubeOn.store(value); }

std::int32_t TubeVoicing(const TForm1& form) { return form.engine.tube.TubeVoicing.load(); }
void SetTubeVoicing(TForm1& form, std::int32_t value) { form.engine.tube.TubeVoicing.store(value); }

void SetFlangerReadPosition(TForm1& form, float position) {
  form.engine.flanger.readPosition.store(position);
}

void RunTubeDesignSequence(TForm1& form, float p, float q, float r) {
  fw::RunTubeDesignSequence(form.engine, p, q, r);
}

}  // namespace fw
