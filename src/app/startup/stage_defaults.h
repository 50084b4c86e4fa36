#pragma once
// The activation sequence's calls into the effect stages: their default values and
// coefficient designs, in the order the sequence needs them.
#include <cstdint>

namespace fw {

struct Engine;
struct RealtimeShared;
class TForm1;

// Step 6: the flanger's reset values and the echo's sweep state.
void ResetFlangerAndEchoSweep(Engine& engine);
// Step 7 (first half): the echo words before the delay controls are set.
void SetEchoDefaults(Engine& engine);
// Step 8: the reverb's all-pass positions and gain.
void ResetReverb(Engine& engine);
// Step 9: recording off, the realtime driver's sound card defaults (IRQ 5, 8-bit
// DMA 1, 16-bit DMA 5) and the shared block's ready word.
void SetRealtimeDefaults(TForm1& form);
// Step 10: FVC1 at 12500 and FVC3 at 44100, FVC2 at 22050, the dither table from
// the FVC1 step, the fixed section, the soft distortion's exponent.
void DesignFirstFilters(Engine& engine);
// Step 11: the realtime thread's words, the elliptic filter of type 0 and the
// distortion words.
void SetDistortionDefaults(Engine& engine, RealtimeShared& realtime);
// Step 12: FVC1 at 500 and FVC3 redesigned at 22050, the soft distortion disarmed.
void DesignSecondFilters(Engine& engine);

// The dither table: for each entry a uniform r in 0..499 from the engine's dither
// generator (which continues from activation to activation), entry =
// round(Fvc1Step(r - 250)).
void BuildDitherTable(Engine& engine);

}  // namespace fw
