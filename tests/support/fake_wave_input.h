#pragma once
// A capture device that never records: it counts the buffers handed back to it and,
// once given a product name, reports that name for device 0.
#include <cstdint>
#include <cstdio>
#include <string>

#include "audio/wave_input.h"

namespace fw::test {

class FakeWaveInput final : public WaveInput {
 public:
  std::string productName;  // empty: no capture device
  WaveInHeader* lastHeader = nullptr;
  std::uint32_t lastSize = 0;
  int calls = 0;

  std::int32_t AddBuffer(WaveInHeader* header, std::uint32_t headerSize) noexcept override {
    lastHeader = header;
    lastSize = headerSize;
    ++calls;
    return 0;
  }
  std::int32_t GetDevCaps(std::int32_t deviceId, WaveInCaps* caps) override {
    if (deviceId != 0 || productName.empty()) return MMSYSERR_BADDEVICEID;
    std::snprintf(caps->productName, WaveInCaps::kNameLength, "%s", productName.c_str());
    return MMSYSERR_NOERROR;
  }
};

}  // namespace fw::test
