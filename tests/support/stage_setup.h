#pragma once
// Stage designs and switches for tests and benchmarks that drive the chain without
// the activation sequence: designs close to those after start-up, so every stage
// works on a real signal, and every stage switch at once.
#include "engine/engine.h"
#include "engine/reverb.h"
#include "tone/tone_filters.h"

namespace fw::test {

inline void DesignStages(Engine& e) {
  ToneFilters& f = e.filters;
  f.Fvc1Cutoff.store(500.0f);
  DesignFvc1(f, kFilterDesignRate);
  DesignFvc2(f, kFilterDesignRate);
  DesignFvc3(f, kFilterDesignRate);
  DesignFixedSection(f, kFilterDesignRate);
  f.HiPassGain.store(1.0f);
  e.elliptic.SelectBrightness(3);
  e.echo.EchoGain.store(0.6f);
  e.echo.SetTaps(0.45f, 0.4f);
  e.flanger.Reset();
  e.flanger.FlangerGain.store(0.5f);
  e.flanger.FlangerFeedback.store(0.5f);
  e.flanger.SetSweepSpeed(0.0075f);
  SetReverbStartValues(e.reverb);
}

// Every stage switch on (on = 1) or off (on = 0).
inline void SetEveryStage(EngineParams& p, int on) {
  p.PreEqOn.store(on), p.PostEqOn.store(on), p.HiPassOn.store(on), p.HiPreOn.store(on);
  p.SoftDistortionOn.store(static_cast<float>(on)), p.Fvc1On.store(on), p.DistortionType.store(on);
  p.LowBoostOn.store(on), p.TubeOn.store(on), p.LowPass2On.store(on), p.FlangerOn.store(on);
  p.EchoOn.store(on), p.ReverbOn.store(on);
}

}  // namespace fw::test
