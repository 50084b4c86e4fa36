#pragma once
// The tube design sequence at the engine sample rate, and the two voicings the
// presets and the window's activation select. The callers switch TubeOn and the
// tube voicing themselves.
#include "tone/tube_stages.h"

namespace fw {

struct Engine;

void RunTubeDesignSequence(Engine& engine, float p, float q, float r) noexcept;
void DesignTubeVoicing1(Engine& engine) noexcept;
void DesignTubeVoicing2(Engine& engine) noexcept;

}  // namespace fw
