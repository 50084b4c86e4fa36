#pragma once
#include "audio/rate_converter.h"

namespace fw {

// speexdsp's resampler at quality 5 (the library's default for audio).
std::unique_ptr<RateConverter> MakeSpeexRateConverter(int channels, int fromRate, int toRate);

}  // namespace fw
