#pragma once
// Library mode's capture buffers as the wave-input driver sees them: the 32-byte
// wave header, the 257 buffers of 220 samples, the wave-input-running flag and the
// device that takes a buffer back once it has been processed.
#include <cstdint>

#include "core/word.h"

namespace fw {

inline constexpr std::uint32_t MM_WIM_DATA = 0x3C0;
inline constexpr std::uint32_t kWaveHeaderSize = 32;

// The user word carries the buffer's index in the ring.
struct WaveInHeader {
  std::int16_t* data = nullptr;
  std::uint32_t bufferLength = 0;  // bytes
  std::uint32_t bytesRecorded = 0;
  std::uintptr_t user = 0;
  std::uint32_t flags = 0;
  std::uint32_t loops = 0;
};

// waveInAddBuffer: hands a buffer back to the device; 0 = success. Audio thread safe.
class WaveInBufferReturn {
 public:
  virtual ~WaveInBufferReturn() = default;
  virtual std::int32_t AddBuffer(WaveInHeader* header, std::uint32_t headerSize) noexcept = 0;
};

// 257 capture buffers of 220 samples carved from one array, one header each.
struct WaveInBufferArea {
  static constexpr int kBufferCount = 257;
  static constexpr int kBufferLength = 220;
  std::int16_t samples[kBufferCount * kBufferLength] = {};
  WaveInHeader headers[kBufferCount] = {};
};

struct WaveInState {
  WaveInBufferArea area;
  IntWord running{0};  // the wave-input-running flag
  WaveInBufferReturn* device = nullptr;
};

}  // namespace fw
