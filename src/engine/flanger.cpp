#include "engine/flanger.h"

namespace fw {
void Flanger::FlangerBlock(float* work, int n) noexcept {
  Run run(*this);
  for (int i = 0; i < n; ++i) work[i] = run.Step(work[i]);
}

void Flanger::Reset() noexcept {
  writePosition.store(301);
  readPosition.store(0.0f);
  readIndex.store(1);
  nextReadIndex.store(0);
  sweepSpeed.store(0.0075f);
  sweepAmount.store(0.001f);
  FlangerGain.store(0.5f);
  FlangerFeedback.store(0.5f);
}

}  // namespace fw
