#pragma once
// The reverb: four all-pass sections on a copy of the block, then a delay and a
// brightness low-pass added to the work buffer. (Placeholder: adds nothing.)
#include <cstdint>

#include "engine/params.h"

namespace fw {

struct Reverb {
  static constexpr int kInputCapacity = 17001;
  static constexpr int kLineCapacity = 2501;
  static constexpr int kAllPassLengths[4] = {2203, 1511, 1049, 787};

  float input[kInputCapacity] = {};
  float lines[4][kLineCapacity] = {};
  std::int32_t positions[4] = {};

  void ReverbAllPass(int n, int length, float* line, std::int32_t& position, float g) noexcept {
    (void)n, (void)length, (void)line, (void)position, (void)g;
  }
  // Adds the second stage's output to work; reads ReverbGain2 from the parameter block.
  void ReverbOutput(float* work, int n, int length, const EngineParams& params) noexcept {
    (void)work, (void)n, (void)length, (void)params;
  }
};

}  // namespace fw
