#pragma once
// The C library's single-precision arctangent, several values at a time: each lane
// takes the same operations in the same order as the library's own code, so every
// value comes out with the same bits as std::atan (checked over the float range).
#include "tone/bandpass_section.h"

namespace fw {

// values[0 .. n-1] = atan(values[i]), eight lanes wide where the CPU has AVX2.
void ArctangentInPlace(float* values, int n, BankWidth width = WidestBankWidth()) noexcept;

}  // namespace fw
