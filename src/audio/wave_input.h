#pragma once
// What the chain needs of wave input: the ring of capture buffers with their
// headers, the running flag, and a way to give a filled buffer back to the device.
#include <cstdint>

#include "engine/word.h"

namespace fw {

inline constexpr std::uint32_t MM_WIM_DATA = 0x3C0;
inline constexpr std::uint32_t kWaveHeaderSize = 32;

// The 32-byte wave header: the user word carries the buffer's index in the ring.
struct WaveInHeader {
  std::int16_t* data = nullptr;
  std::uint32_t bufferLength = 0;  // bytes
  std::uint32_t bytesRecorded = 0;
  std::uintptr_t user = 0;
  std::uint32_t flags = 0;
  std::uint32_t loops = 0;
};

class WaveInput {
 public:
  virtual ~WaveInput() = default;
  // waveInAddBuffer: hands a buffer back to the device; 0 = success.
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
  WaveInput* device = nullptr;
};

}  // namespace fw
