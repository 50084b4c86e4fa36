#pragma once
// The tube stages: a sixteen-band fold-back distortion followed by a nine-band
// voicing filter, both built from the shared band-pass section.
#include <cstdint>

#include "core/word.h"
#include "tone/bandpass_section.h"

namespace fw {

struct GraphicEqualisers;

inline constexpr int kFoldBands = 16;
inline constexpr int kVoiceBands = 9;

// Fold rule for one band value: held near +-thr, bent back towards 0 as it nears
// +-16000 and rising slowly again beyond; l is thr / 16000.
inline float FoldBandValue(float v, float thr, float l) noexcept {
  if (v >= 16000.0f) {
    v = 0.5f * l * (v - 16000.0f);
  } else if (v >= thr) {
    v = thr - l * v;
  }
  if (v < -16000.0f) {
    v = 0.5f * l * (v + 16000.0f);
  } else if (v < -thr) {
    v = -thr - l * v;
  }
  return v;
}

struct TubeStages {
  // Fold-back bank.
  IntWord FoldBandCount{0};
  FloatWord FoldThreshold{0.0f};
  IntWord FoldCascade{0};
  FloatWord FoldWidthFactor{0.0f};
  FloatWord FoldLowWeight{0.0f};
  FloatWord FoldCentre[kFoldBands];
  FloatWord FoldWidth[kFoldBands];
  BandpassBankCoefficients<kFoldBands> foldCoefficients;  // shared by both levels of a band

  // Voicing bank (the equalisers' band layout).
  FloatWord VoiceLowGain{0.0f};
  FloatWord VoiceBand6Gain{0.0f};
  FloatWord VoiceOutputGain{0.0f};
  BandpassBankCoefficients<kVoiceBands> voiceCoefficients;

  // The tube voicing the preset operations store and read: 0 none, 1 or 2.
  IntWord TubeVoicing{0};

  void DesignVoiceBank(float lowGain, float outputGain, float fs) noexcept;
  void DesignFoldBank(std::int32_t cascade, float band6Gain, float lowWeight, float widthFactor,
                      float fs) noexcept;

  void FoldBank(float* buffer, int n, BankWidth width = WidestBankWidth()) noexcept {
    RunBanks(buffer, n, width, true, false);
  }
  void VoiceBank(float* buffer, int n, BankWidth width = WidestBankWidth()) noexcept {
    RunBanks(buffer, n, width, false, true);
  }
  // FoldBank then VoiceBank in one pass, with the same bits: the voicing bank runs
  // one chunk behind the fold bank, sample by sample beside it, so the latencies of
  // the two banks' recursions overlap.
  void FoldThenVoice(float* buffer, int n, BankWidth width = WidestBankWidth()) noexcept {
    RunBanks(buffer, n, width, true, true);
  }

 private:
  void RunBanks(float* buffer, int n, BankWidth width, bool fold, bool voice) noexcept;
  void RunBanksInEightLanes(float* buffer, int n, bool fold, bool voice) noexcept;
  template <int W, bool kFold, bool kVoice>
  void RunBanksInLanes(float* buffer, int n) noexcept;

  // Section memories: audio side only.
  BandpassBankState<kFoldBands> foldFirstLevel_;  // runs only in cascade mode
  BandpassBankState<kFoldBands> foldSecondLevel_;
  BandpassBankState<kVoiceBands> voiceState_;
};

// The tube design sequence with (p, q, r) at rate fs: voicing bank (p, 3.0),
// fold-back bank (0, 3.0, q, r), then the pre and post equalisers.
void TubeDesignSequence(TubeStages& tube, GraphicEqualisers& eq, float fs, float p, float q,
                        float r) noexcept;

// Voicing 1 ("Distortion 1"): (3.0, 1.0, 0.95). Voicing 2 ("Distortion 2" and
// window activation): (1.0, 3.0, 0.5).
inline constexpr float kVoicing1[3] = {3.0f, 1.0f, 0.95f};
inline constexpr float kVoicing2[3] = {1.0f, 3.0f, 0.5f};

}  // namespace fw
