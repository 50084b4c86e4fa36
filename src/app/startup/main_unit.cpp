#include "app/startup/main_unit.h"

#include "audio/chain_io.h"
#include "engine/engine.h"

namespace fw {

// Values of other window-thread state (the keyboard toggle, the selected playback
// slot and its AU flags, the file read chunk, the hardware report text, the latency
// setting) start with their owners, which the window creates next.
void InitialiseMainUnit(Engine& engine, ChainIo& io) {
  EngineParams& p = engine.params;
  p.PreEqOn.store(0);
  p.PostEqOn.store(1);
  p.TubeOn.store(0);
  p.RealtimeBlockLength.store(128);
  p.RecordClean.store(0);
  p.EngineSampleRate.store(22050);
  p.WaveInBlockLength.store(220);
  engine.lowBoost.LowBoostMix.store(4000.0f);
  p.LiveInputFactor.store(1.001f);
  p.RecordRingSize.store(0);
  engine.distortion.ShaperLevel.store(0.49f);
  engine.distortion.ShaperSmooth.store(0.1f);
  engine.distortion.ShaperKneeIn.store(1000);
  engine.distortion.ShaperKneeOut.store(10000);
  p.WavFileGain.store(1.0f);
  p.FileBlockCounter.store(0);
  p.RecordIndex.store(0);
  p.FileRefillRequest.store(0);
  p.LowBoostOn.store(0);
  io.waveIn.running.store(0);
  engine.filters.HiPreCoefficient.store(0.16666667f);
  p.OverloadLatch.store(0);
}

}  // namespace fw
