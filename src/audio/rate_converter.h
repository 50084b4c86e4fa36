#pragma once
// Fixed-ratio sample-rate conversion in the stream, created off the audio thread.
#include <cstdint>
#include <memory>

namespace fw {

class RateConverter {
 public:
  virtual ~RateConverter() = default;
  // Audio thread, interleaved frames. On return inFrames and outFrames hold the
  // frames consumed and produced. Never allocates.
  virtual void Process(const float* in, std::uint32_t& inFrames, float* out,
                       std::uint32_t& outFrames) noexcept = 0;
  // Off the audio thread: forgets the stream, as a fresh converter.
  virtual void Reset() noexcept = 0;
  // Delay the converter adds, in output frames.
  virtual int LatencyFrames() const noexcept = 0;
};

// Creates a converter for `channels` interleaved channels from one rate to another;
// nullptr when none can be made.
using RateConverterFactory = std::unique_ptr<RateConverter> (*)(int channels, int fromRate, int toRate);

}  // namespace fw
