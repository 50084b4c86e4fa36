#pragma once
// The flanger. (Placeholder: passes the block through.)

namespace fw {

struct Flanger {
  void FlangerBlock(float* work, int n) noexcept { (void)work, (void)n; }
};

}  // namespace fw
