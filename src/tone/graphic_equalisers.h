#pragma once
// The pre and post nine-band graphic equalisers. (Placeholder: passes the block through.)

namespace fw {

struct GraphicEqualisers {
  void PreEqualiser(float* buffer, int n) noexcept { (void)buffer, (void)n; }
  void PostEqualiser(float* buffer, int n) noexcept { (void)buffer, (void)n; }
};

}  // namespace fw
