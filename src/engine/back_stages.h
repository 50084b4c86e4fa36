#pragma once
// The stages after the tube banks, in each driver's order, then the reverb. The
// recursive filters run in one loop, each sample through all of them in turn, so
// that one filter's recursion overlaps the next one's instead of each waiting on
// its own; the delay-line stages at the end run in a second loop. Every stage does
// the same operations in the same order as on its own: the same bits.
#include "engine/chain.h"
#include "engine/engine.h"
#include "tone/bandpass_section.h"

namespace fw {

// The back stages over work[0 .. n-1] in place; the post equaliser's bank in lanes
// of `width`.
void RunBackStages(Engine& e, float* work, int n, Driver driver,
                   BankWidth width = WidestBankWidth()) noexcept;

// The same stages one after another over the whole block, each on its own.
void RunBackStagesInTurn(Engine& e, float* work, int n, Driver driver) noexcept;

}  // namespace fw
