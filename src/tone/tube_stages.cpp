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
constexpr int kChunk = 64;

// The fold rule on W bands at once; the same operations as FoldBandValue, with
// both branches computed and the one the rule takes selected.
template <int W>
Lanes<W> FoldLanes(Lanes<W> v, float thr, float l) noexcept {
  const float halfL = 0.5f * l;
  const Lanes<W> top = Broadcast<W>(16000.0f);
  const Lanes<W> threshold = Broadcast<W>(thr);
  v = v >= top ? halfL * (v - 16000.0f) : (v >= threshold ? thr - l * v : v);
  v = v < -top ? halfL * (v + 16000.0f) : (v < -threshold ? -thr - l * v : v);
  return v;
}

}  // namespace

template <int W>
[[gnu::always_inline]] inline void TubeStages::FoldBankInLanes(float* buffer, int n) noexcept {
  constexpr int kVectors = LaneVectors(kFoldBands, W);
  const BandpassBankSnapshot<kFoldBands, W> c(foldCoefficients);
  const bool cascade = FoldCascade.load() == 1;
  const float thr = FoldThreshold.load();
  const float l = thr / 16000.0f;
  const float lowWeight = FoldLowWeight.load();
  const int bands = std::clamp(static_cast<int>(FoldBandCount.load()), 0, kFoldBands);
  // Bands 1 to 6 are weighted; the others are multiplied by 1, which is exact.
  Lanes<W> weight[kVectors];
  FillBandWeights<kFoldBands, W>(weight, [lowWeight](int b) { return b >= 1 && b <= 6 ? lowWeight : 1.0f; });

  auto first = foldFirstLevel_.Relaned<W>();
  auto second = foldSecondLevel_.Relaned<W>();
  Lanes<W> folded[kChunk][kVectors];
  for (int start = 0; start < n; start += kChunk) {
    const int count = std::min(kChunk, n - start);
    for (int i = 0; i < count; ++i) {
      Lanes<W> v[kVectors];
      if (cascade) {
        Lanes<W> u[kVectors];
        first.Step(c, buffer[start + i], u);
        second.Step(c, u, v);
      } else {
        second.Step(c, buffer[start + i], v);
      }
      for (int k = 0; k < kVectors; ++k) folded[i][k] = FoldLanes<W>(v[k], thr, l) * weight[k];
    }
    SumBandsInOrder<kVectors>(folded, count, bands, 1.0, buffer + start);
  }
  foldFirstLevel_ = first.template Relaned<kLanes>();
  foldSecondLevel_ = second.template Relaned<kLanes>();
}

__attribute__((target("avx2"), flatten)) void TubeStages::FoldBankInEightLanes(float* buffer,
                                                                               int n) noexcept {
  FoldBankInLanes<8>(buffer, n);
}

void TubeStages::FoldBank(float* buffer, int n, BankWidth width) noexcept {
  if (width == BankWidth::kEight) {
    FoldBankInEightLanes(buffer, n);
  } else {
    FoldBankInLanes<kLanes>(buffer, n);
  }
}

template <int W>
[[gnu::always_inline]] inline void TubeStages::VoiceBankInLanes(float* buffer, int n) noexcept {
  const BandpassBankSnapshot<kVoiceBands, W> c(voiceCoefficients);
  const float lowGain = VoiceLowGain.load();
  const float band6Gain = VoiceBand6Gain.load();
  const double outputGain = VoiceOutputGain.load();
  Lanes<W> weight[LaneVectors(kVoiceBands, W)];
  FillBandWeights<kVoiceBands, W>(weight, [lowGain, band6Gain](int b) {
    return b == 6 ? band6Gain : (b == 1 || b == 2) ? lowGain : 1.0f;
  });
  auto s = voiceState_.Relaned<W>();
  RunWeightedBank(s, c, weight, outputGain, buffer, n);
  voiceState_ = s.template Relaned<kLanes>();
}

__attribute__((target("avx2"), flatten)) void TubeStages::VoiceBankInEightLanes(float* buffer,
                                                                                int n) noexcept {
  VoiceBankInLanes<8>(buffer, n);
}

void TubeStages::VoiceBank(float* buffer, int n, BankWidth width) noexcept {
  if (width == BankWidth::kEight) {
    VoiceBankInEightLanes(buffer, n);
  } else {
    VoiceBankInLanes<kLanes>(buffer, n);
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
