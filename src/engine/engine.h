#pragma once
// The engine: the parameter block, the chain's buffers and every stage's state,
// allocated once for the whole program and shared by the three chain drivers.
#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/buffers.h"
#include "engine/dither_random.h"
#include "engine/echo_delay.h"
#include "engine/flanger.h"
#include "engine/level_meter.h"
#include "engine/low_boost.h"
#include "engine/params.h"
#include "engine/reverb.h"
#include "engine/tuner_tap.h"
#include "tone/distortions.h"
#include "tone/elliptic_filter.h"
#include "tone/graphic_equalisers.h"
#include "tone/tone_filters.h"
#include "tone/tube_stages.h"

namespace fw {

// Dither for the realtime driver's stereo output: 65,536 16-bit values made at
// activation, walked by a 16-bit index that wraps.
struct DitherTable {
  static constexpr int kSize = 65536;
  // Rebuilt by every activation while a driver may run: relaxed atomics.
  std::atomic<std::int16_t> values[kSize] = {};
  std::uint16_t index = 0;  // audio side only
  // The generator the activation sequence fills the table from (window thread only);
  // fretwerk-cli render --seed seeds it.
  DitherRandom random;
};

struct Engine {
  EngineParams params;
  ChainBuffers buffers;
  FileBuffer file;
  RecordRing record;

  ToneFilters filters;
  Distortions distortion;
  LowBoost lowBoost;
  GraphicEqualisers eq;
  TubeStages tube;
  EllipticFilter elliptic;
  Echo echo;
  Flanger flanger;
  Reverb reverb;

  DitherTable dither;

  // What the window shows of the sound: levels, and the input's copy for the tuner.
  LevelMeters meters;
  TunerTap tuner;
};

// The engine is large (the echo line alone is half a megabyte): always on the heap.
std::unique_ptr<Engine> MakeEngine();

}  // namespace fw
