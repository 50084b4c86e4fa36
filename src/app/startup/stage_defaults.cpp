#include "app/startup/stage_defaults.h"

#include "app/form1.h"
#include "engine/dither_random.h"
#include "engine/engine.h"
#include "engine/rounding.h"

namespace fw {

void ResetFlangerAndEchoSweep(Engine& engine) { engine.params.FlangerOn.store(1); }

void SetEchoDefaults(Engine& engine) {
  engine.params.EchoDelay.store(3000);
  engine.params.EchoOn.store(0);
}

void ResetReverb(Engine& engine) {
  for (auto& position : engine.reverb.positions) position = 0;
  engine.params.ReverbAllPassGain.store(0.26f);
}

void SetRealtimeDefaults(TForm1& form) {
  form.engine.params.RecordActive.store(0);
  form.engine.realtime.ready.store(0);
}

void BuildDitherTable(Engine& engine, std::uint32_t seed) {
  DitherRandom random(seed);
  for (int k = 0; k < DitherTable::kSize; ++k) {
    const auto s = static_cast<std::int32_t>(random.Next(500)) - 250;
    const std::int32_t value = ClampInt(RoundToInt(engine.filters.Fvc1Step(s)), -32768, 32767);
    engine.dither.values[k].store(static_cast<std::int16_t>(value), std::memory_order_relaxed);
  }
}

void DesignFirstFilters(Engine& engine, std::uint32_t ditherSeed) { BuildDitherTable(engine, ditherSeed); }

void SetDistortionDefaults(Engine& engine) {
  engine.realtime.threadState.store(0);
  engine.realtime.runFlag.store(0);
  engine.params.HiPreOn.store(0);
  engine.params.SoftDistortionOn.store(0.0f);
  engine.params.DistortionType.store(0);
}

void DesignSecondFilters(Engine& engine) { (void)engine; }

void SetWaveFormats(TForm1& form) { (void)form; }

}  // namespace fw
