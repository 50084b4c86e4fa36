#pragma once
// The tube stages: fold-back bank, then voicing bank. (Placeholder: passes the block through.)

namespace fw {

struct TubeStages {
  void FoldBank(float* buffer, int n) noexcept { (void)buffer, (void)n; }
  void VoiceBank(float* buffer, int n) noexcept { (void)buffer, (void)n; }
};

}  // namespace fw
