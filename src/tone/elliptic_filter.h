#pragma once
// The elliptic "Brightness" low-pass. (Placeholder: passes the block through.)

namespace fw {

struct EllipticFilter {
  void Process(float* work, int n) noexcept { (void)work, (void)n; }
};

}  // namespace fw
