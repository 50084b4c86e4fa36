#pragma once
// Five-tap echo delay. (Placeholder: passes the block through.)

namespace fw {

struct EchoDelay {
  void EchoDelayBlock(float* work, int n, int delay) noexcept { (void)work, (void)n, (void)delay; }
};

}  // namespace fw
