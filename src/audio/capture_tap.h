#pragma once
// What a device callback captured, seen before the program hears it: a measurement
// adds its probe, a listener keeps a copy.
#include <cstdint>

namespace fw {

class CaptureTap {
 public:
  virtual ~CaptureTap() = default;
  // Device thread: `in` captured at device frames [frame, frame + n); `out` is what the
  // program receives instead. Nothing allocated, locked or waited on.
  virtual void Process(const float* in, float* out, int n, std::int64_t frame) noexcept = 0;
};

}  // namespace fw
