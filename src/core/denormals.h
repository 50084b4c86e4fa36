#pragma once
// Flush denormal floats to zero on the calling thread. Long filter and reverb tails
// decay into denormals, which cost a hundred times more per operation; every thread
// that runs a chain driver calls this once when it starts.
#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace fw {

inline void FlushDenormalsOnThisThread() noexcept {
#if defined(__SSE__) || defined(__x86_64__)
  constexpr unsigned kFlushToZero = 0x8000;       // FTZ
  constexpr unsigned kDenormalsAreZero = 0x0040;  // DAZ
  _mm_setcsr(_mm_getcsr() | kFlushToZero | kDenormalsAreZero);
#endif
}

}  // namespace fw
