#pragma once
// Wave output as the program uses it in the direct modes and ring-0 mode: open,
// reset, pause, restart, prepare, write, break loop, unprepare, close. Headers are
// the wave headers of wave input; the loop flags mark a header played `loops` times.
#include <atomic>
#include <cstdint>

#include "audio/wave_input.h"

namespace fw {

inline constexpr std::uint32_t WHDR_BEGINLOOP = 0x04;
inline constexpr std::uint32_t WHDR_ENDLOOP = 0x08;

using WaveOutHeader = WaveInHeader;

class WaveOutput {
 public:
  virtual ~WaveOutput() = default;
  // Opened without a callback; 0 = success.
  virtual std::int32_t Open(std::int32_t deviceId, const WaveFormat& format) = 0;
  virtual std::int32_t Reset() = 0;
  virtual std::int32_t Pause() = 0;
  virtual std::int32_t Restart() = 0;
  virtual std::int32_t PrepareHeader(WaveOutHeader* header, std::uint32_t headerSize) = 0;
  virtual std::int32_t Write(WaveOutHeader* header, std::uint32_t headerSize) = 0;
  virtual std::int32_t BreakLoop() = 0;
  virtual std::int32_t UnprepareHeader(WaveOutHeader* header, std::uint32_t headerSize) = 0;
  virtual std::int32_t Close() = 0;
};

// The done flag of a header, set by the device's thread and watched by the program.
inline bool HeaderDone(const WaveInHeader& header) noexcept {
  return (std::atomic_ref<const std::uint32_t>(header.flags).load(std::memory_order_acquire) & WHDR_DONE) !=
         0;
}

}  // namespace fw
