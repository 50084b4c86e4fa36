#include "app/startup/stage_defaults.h"

#include "app/form1.h"
#include "app/realtime/realtime_control.h"
#include "core/rounding.h"
#include "engine/dither_random.h"
#include "engine/engine.h"

namespace fw {

void ResetFlangerAndEchoSweep(Engine& engine) {
  engine.params.FlangerOn.store(1);
  engine.flanger.Reset();
  engine.echo.ResetSweep();
}

void SetEchoDefaults(Engine& engine) {
  SetEchoStartValues(engine.echo);
  engine.params.EchoOn.store(0);
}

void ResetReverb(Engine& engine) { SetReverbStartValues(engine.reverb); }

void SetRealtimeDefaults(TForm1& form) {
  form.engine.params.RecordActive.store(0);
  RealtimeControl& realtime = Realtime(form);
  realtime.irq = 5;
  realtime.dma8 = 1;
  realtime.dma16 = 5;
  // The shared block is the engine's own until a ring-0 start hands over the driver's.
  form.io.realtime.ready.store(0);
}

void BuildDitherTable(Engine& engine) {
  DitherRandom& random = engine.dither.random;
  for (int k = 0; k < DitherTable::kSize; ++k) {
    const auto s = static_cast<std::int32_t>(random.UniformBelow(500)) - 250;
    const std::int32_t value = ClampInt(RoundToInt(engine.filters.Fvc1Step(s)), -32768, 32767);
    engine.dither.values[k].store(static_cast<std::int16_t>(value), std::memory_order_relaxed);
  }
}

void DesignFirstFilters(Engine& engine) {
  // FVC1 shapes the dither table from a design at 44.1 kHz; FVC3's first design
  // shares that rate until DesignSecondFilters replaces it.
  constexpr float kFirstDesignRate = 44100.0f;
  ToneFilters& f = engine.filters;
  f.Fvc1Cutoff.store(12500.0f);
  f.Fvc1Damping.store(1.41f);
  f.Fvc1Gain.store(1.0f);
  DesignFvc1(f, kFirstDesignRate);
  f.Fvc3Cutoff.store(100.0f);
  f.Fvc3Damping.store(1.41f);
  f.Fvc3Gain.store(1.0f);
  DesignFvc3(f, kFirstDesignRate);
  f.Fvc2Cutoff.store(150.0f);
  f.Fvc2Damping.store(1.41f);
  DesignFvc2(f, kFilterDesignRate);
  BuildDitherTable(engine);
  DesignFixedSection(f, kFilterDesignRate);
  engine.distortion.SoftExponent.store(1.75f);
}

void SetDistortionDefaults(Engine& engine, RealtimeShared& realtime) {
  realtime.threadState.store(0);
  realtime.runFlag.store(0);
  engine.elliptic.SelectBrightness(0);
  engine.distortion.SoftLevel.store(1.0f);
  engine.filters.HiPreGain.store(1.0f);
  engine.params.HiPreOn.store(0);
  engine.params.SoftDistortionOn.store(0.0f);
  engine.params.DistortionType.store(0);
  engine.distortion.ShaperDrive.store(1.0f);
}

void DesignSecondFilters(Engine& engine) {
  ToneFilters& f = engine.filters;
  f.Fvc1Cutoff.store(500.0f);
  f.Fvc1Damping.store(1.41f);
  f.Fvc1Gain.store(1.0f);
  DesignFvc1(f, kFilterDesignRate);
  DesignFvc3(f, kFilterDesignRate);
  engine.distortion.SoftArmed.store(0);
  f.HiPreCoefficient.store(0.16666667f);
  f.LowPass2Coefficient.store(1.0f);
}

}  // namespace fw
