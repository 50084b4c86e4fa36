#pragma once
// The chain's front stages, before the waveshaper, in every driver's order: the pre
// equaliser (not in the realtime driver), the fixed high-pass, the high
// pre-equaliser, FVC3, the soft distortion and FVC1 (which also writes the low
// boost's side buffer). Each switch is read once per block.
#include "engine/engine.h"

namespace fw {

// Runs the front stages over the work buffer's first n samples in place, the pre
// equaliser's bank in lanes of `width`. The stages run sample by sample in one
// loop, so that their recursions overlap; every sample takes the same operations
// as the stages in turn.
void RunFrontStages(Engine& e, int n, bool withEqualisers, BankWidth width = WidestBankWidth()) noexcept;

}  // namespace fw
