#include "engine/tube_voicings.h"

#include "engine/engine.h"

namespace fw {

void RunTubeDesignSequence(Engine& engine, float p, float q, float r) noexcept {
  const auto fs = static_cast<float>(engine.params.EngineSampleRate.load());
  TubeDesignSequence(engine.tube, engine.eq, fs, p, q, r);
}

void DesignTubeVoicing1(Engine& engine) noexcept {
  RunTubeDesignSequence(engine, kVoicing1[0], kVoicing1[1], kVoicing1[2]);
}

void DesignTubeVoicing2(Engine& engine) noexcept {
  RunTubeDesignSequence(engine, kVoicing2[0], kVoicing2[1], kVoicing2[2]);
}

}  // namespace fw
