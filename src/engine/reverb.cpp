#include "engine/reverb.h"

namespace fw {

void Reverb::Process(float* work, int n) noexcept {
  Run run(*this);
  for (int i = 0; i < n; ++i) work[i] = run.Step(work[i]);
}

void Reverb::ResetAllPassPositions() noexcept {
  for (IntWord& p : positions_) p.store(0);
}

void SetReverbStartValues(Reverb& reverb) noexcept {
  reverb.ResetAllPassPositions();
  reverb.ReverbAllPassGain.store(0.26f);
}

float ReverbGainForPosition(int position) noexcept {
  float gain = 1.0f;
  for (int step = 0; step < position; ++step) gain = gain * 0.84f;
  return gain;
}

}  // namespace fw
