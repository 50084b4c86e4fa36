#pragma once
// The chain at 44100 Hz inside a host that runs faster (48000, 88200, 96000 Hz): the
// input goes down to the engine rate, the engine's stereo block back up to the host's,
// both through speexdsp's resampler. The chain's filter designs and delay times are
// made for its own rates, so it keeps them and the host hears them unchanged. The two
// resamplers' delay is the whole latency: the output starts that many zeros late and
// stays so.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "audio/rate_converter.h"

namespace fw::plugin {

class HostRateBridge {
 public:
  // Host frames per pass; any host block is taken in passes of at most this.
  static constexpr int kHostChunk = 256;
  // Engine frames one pass gives the chain, at most.
  static constexpr int kEngineChunk = kHostChunk + 8;

  // hostRate above engineRate. Throws std::runtime_error when no resampler can be made.
  HostRateBridge(int hostRate, int engineRate);

  // The delay the host hears, in host frames.
  int LatencyFrames() const noexcept { return latency_; }
  // Off the audio thread (activation): back to the start, as a fresh instance.
  void Reset() noexcept;

  // Audio thread: n host frames of input to n frames of left and right. engine(in,
  // left, right, count) runs the chain over count engine frames (count <= kEngineChunk).
  // The input may share memory with an output.
  template <class Engine>
  void Run(const float* in, float* left, float* right, std::uint32_t n, Engine&& engine) noexcept {
    for (std::uint32_t done = 0; done < n;) {
      const int count = static_cast<int>(std::min<std::uint32_t>(n - done, kHostChunk));
      const int engineFrames = Down(in + done, count);
      engine(static_cast<const float*>(engineIn_), engineLeft_, engineRight_, engineFrames);
      Up(engineFrames);
      Take(left + done, right + done, count);
      done += static_cast<std::uint32_t>(count);
    }
  }

 private:
  // Ready frames wait here; the latency and one pass's output always fit.
  static constexpr int kReadyCapacity = 1024 + 2 * kHostChunk;

  int Down(const float* in, int count) noexcept;
  void Up(int engineFrames) noexcept;
  void Take(float* left, float* right, int count) noexcept;

  std::unique_ptr<RateConverter> down_;  // host rate to engine rate, mono
  std::unique_ptr<RateConverter> up_;    // engine rate to host rate, stereo
  int latency_ = 0;

  float engineIn_[kEngineChunk] = {};
  float engineLeft_[kEngineChunk] = {};
  float engineRight_[kEngineChunk] = {};
  float engineStereo_[2 * kEngineChunk] = {};
  float ready_[2 * kReadyCapacity] = {};  // interleaved host frames
  int readyFrames_ = 0;
};

}  // namespace fw::plugin
