// The eight-lane bank code is only ever inlined into functions built for AVX2
// (target("avx2"), flatten), so no eight-lane vector crosses a call.
#pragma GCC diagnostic ignored "-Wpsabi"

#include "tone/tube_stages.h"

#include <algorithm>
#include <cmath>

#include "tone/graphic_equalisers.h"

namespace fw {

void TubeStages::DesignVoiceBank(float lowGain, float outputGain, float fs) noexcept {
  VoiceLowGain.store(lowGain);
  VoiceOutputGain.store(outputGain);
  for (int b = 0; b < kVoiceBands; ++b) {
    voiceCoefficients.Design(b, kEqualiserLayout[b].centre, kEqualiserLayout[b].width, fs);
  }
}

void TubeStages::DesignFoldBank(std::int32_t cascade, float band6Gain, float lowWeight, float widthFactor,
                                float fs) noexcept {
  FoldCascade.store(cascade);
  VoiceBand6Gain.store(band6Gain);
  FoldLowWeight.store(lowWeight);
  FoldWidthFactor.store(widthFactor);
  // Half-octave centres from 44.19 Hz, each rounded to float before the next step.
  float centre = 31.25f;
  for (int b = 0; b < kFoldBands; ++b) {
    centre = static_cast<float>(static_cast<double>(centre) * std::sqrt(2.0));
    const float width = b < kFoldBands - 1 ? centre * widthFactor : centre * 0.3f;
    FoldCentre[b].store(centre);
    FoldWidth[b].store(width);
    foldCoefficients.Design(b, centre, width, fs);
  }
}

namespace {

// Samples per pass: the band outputs of a pass are summed four samples at a time.
constexpr int kChunk = 32;

// The fold rule on W bands at once; the same operations as FoldBandValue, with
// both branches computed and the one the rule takes selected.
template <int W>
Lanes<W> FoldLanes(const Lanes<W>& in, float thr, float l) noexcept {
  Lanes<W> v = in;
  const float halfL = 0.5f * l;
  const Lanes<W> top = Broadcast<W>(16000.0f);
  const Lanes<W> threshold = Broadcast<W>(thr);
  v = v >= top ? halfL * (v - 16000.0f) : (v >= threshold ? thr - l * v : v);
  v = v < -top ? halfL * (v + 16000.0f) : (v < -threshold ? -thr - l * v : v);
  return v;
}

}  // namespace

template <int W, bool kFold, bool kVoice>
[[gnu::always_inline]] inline void TubeStages::RunBanksInLanes(float* buffer, int n) noexcept {
  constexpr int kFoldVectors = LaneVectors(kFoldBands, W);
  constexpr int kVoiceVectors = LaneVectors(kVoiceBands, W);

  const BandpassBankSnapshot<kFoldBands, W> fold(foldCoefficients);
  const bool cascade = FoldCascade.load() == 1;
  const float thr = FoldThreshold.load();
  const float l = thr / 16000.0f;
  const float lowWeight = FoldLowWeight.load();
  const int bands = std::clamp(static_cast<int>(FoldBandCount.load()), 0, kFoldBands);
  // Bands 1 to 6 are weighted; the others are multiplied by 1, which is exact.
  Lanes<W> foldWeight[kFoldVectors];
  FillBandWeights<kFoldBands, W>(foldWeight,
                                 [lowWeight](int b) { return b >= 1 && b <= 6 ? lowWeight : 1.0f; });

  const BandpassBankSnapshot<kVoiceBands, W> voice(voiceCoefficients);
  const float lowGain = VoiceLowGain.load();
  const float band6Gain = VoiceBand6Gain.load();
  const double outputGain = VoiceOutputGain.load();
  Lanes<W> voiceWeight[kVoiceVectors];
  FillBandWeights<kVoiceBands, W>(voiceWeight, [lowGain, band6Gain](int b) {
    return b == 6 ? band6Gain : (b == 1 || b == 2) ? lowGain : 1.0f;
  });

  // Local copies stay in registers and cannot alias the buffer.
  auto first = foldFirstLevel_.Relaned<W>();
  auto second = foldSecondLevel_.Relaned<W>();
  auto voicing = voiceState_.Relaned<W>();
  Lanes<W> folded[kChunk][kFoldVectors];
  Lanes<W> voiced[kChunk][kVoiceVectors];
  int foldStart = 0;
  int voiceStart = 0;
  const auto foldStep = [&](int i) {
    Lanes<W> v[kFoldVectors];
    if (cascade) {
      Lanes<W> u[kFoldVectors];
      first.Step(fold, buffer[foldStart + i], u);
      second.Step(fold, u, v);
    } else {
      second.Step(fold, buffer[foldStart + i], v);
    }
    for (int k = 0; k < kFoldVectors; ++k) folded[i][k] = FoldLanes<W>(v[k], thr, l) * foldWeight[k];
  };
  const auto voiceStep = [&](int i) {
    Lanes<W> y[kVoiceVectors];
    voicing.Step(voice, buffer[voiceStart + i], y);
    for (int k = 0; k < kVoiceVectors; ++k) voiced[i][k] = y[k] * voiceWeight[k];
  };

  // Pass p folds chunk p and voices chunk p - lag, which the fold summed in the pass before.
  constexpr int lag = kFold && kVoice ? 1 : 0;
  const int chunks = (n + kChunk - 1) / kChunk;
  for (int pass = 0; pass < chunks + lag; ++pass) {
    foldStart = pass * kChunk;
    voiceStart = (pass - lag) * kChunk;
    const int foldCount = kFold && pass < chunks ? std::min(kChunk, n - foldStart) : 0;
    const int voiceCount = kVoice && pass >= lag ? std::min(kChunk, n - voiceStart) : 0;
    const int side = kFold && kVoice ? std::min(foldCount, voiceCount) : 0;
    if constexpr (kFold && kVoice) {
      for (int i = 0; i < side; ++i) {
        foldStep(i);
        voiceStep(i);
      }
    }
    if constexpr (kFold) {
      for (int i = side; i < foldCount; ++i) foldStep(i);
    }
    if constexpr (kVoice) {
      for (int i = side; i < voiceCount; ++i) voiceStep(i);
    }
    if (voiceCount > 0) {
      SumBandsInOrder<kVoiceVectors>(voiced, voiceCount, kVoiceBands, outputGain, buffer + voiceStart);
    }
    if (foldCount > 0) SumBandsInOrder<kFoldVectors>(folded, foldCount, bands, 1.0, buffer + foldStart);
  }
  foldFirstLevel_ = first.template Relaned<kLanes>();
  foldSecondLevel_ = second.template Relaned<kLanes>();
  voiceState_ = voicing.template Relaned<kLanes>();
}

__attribute__((target("avx2"), flatten)) void TubeStages::RunBanksInEightLanes(float* buffer, int n,
                                                                               bool fold,
                                                                               bool voice) noexcept {
  if (fold && voice) {
    RunBanksInLanes<8, true, true>(buffer, n);
  } else if (fold) {
    RunBanksInLanes<8, true, false>(buffer, n);
  } else if (voice) {
    RunBanksInLanes<8, false, true>(buffer, n);
  }
}

void TubeStages::RunBanks(float* buffer, int n, BankWidth width, bool fold, bool voice) noexcept {
  if (width == BankWidth::kEight) {
    RunBanksInEightLanes(buffer, n, fold, voice);
  } else if (fold && voice) {
    RunBanksInLanes<kLanes, true, true>(buffer, n);
  } else if (fold) {
    RunBanksInLanes<kLanes, true, false>(buffer, n);
  } else if (voice) {
    RunBanksInLanes<kLanes, false, true>(buffer, n);
  }
}

void TubeDesignSequence(TubeStages& tube, GraphicEqualisers& eq, float fs, float p, float q,
                        float r) noexcept {
  tube.DesignVoiceBank(p, 3.0f, fs);
  tube.DesignFoldBank(0, 3.0f, q, r, fs);
  eq.DesignPreEqualiser(fs);
  eq.DesignPostEqualiser(fs);
}

}  // namespace fw
