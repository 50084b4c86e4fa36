#include "tone/tube_stages.h"

#include <algorithm>
#include <cmath>

#include "engine/engine.h"
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

// Samples per pass: band outputs of a pass are kept band by band so the double
// sum over bands runs across samples side by side.
constexpr int kChunk = 64;

}  // namespace

void TubeStages::FoldBank(float* buffer, int n) noexcept {
  const BandpassBankSnapshot<kFoldBands> c(foldCoefficients);
  const bool cascade = FoldCascade.load() == 1;
  const float thr = FoldThreshold.load();
  const float l = thr / 16000.0f;
  const float lowWeight = FoldLowWeight.load();
  const int bands = std::clamp(static_cast<int>(FoldBandCount.load()), 0, kFoldBands);
  float weight[kFoldBands];
  bool weighted[kFoldBands];
  for (int b = 0; b < kFoldBands; ++b) {
    weighted[b] = b >= 1 && b <= 6;
    weight[b] = weighted[b] ? lowWeight : 1.0f;
  }

  auto first = foldFirstLevel;
  auto second = foldSecondLevel;
  float folded[kChunk][kFoldBands];
  for (int start = 0; start < n; start += kChunk) {
    const int count = std::min(kChunk, n - start);
    for (int i = 0; i < count; ++i) {
      float v[kFoldBands];
      if (cascade) {
        float u[kFoldBands];
        first.Step(c, buffer[start + i], u);
        second.Step(c, u, v);
      } else {
        second.Step(c, buffer[start + i], v);
      }
      for (int b = 0; b < kFoldBands; ++b) {
        const float f = FoldBandValue(v[b], thr, l);
        // Bands outside 1..6 are not multiplied at all (x 1 would be exact anyway).
        folded[i][b] = weighted[b] ? f * weight[b] : f;
      }
    }
    for (int i = 0; i < count; ++i) {
      double sum = 0.0;
      for (int b = 0; b < bands; ++b) sum += static_cast<double>(folded[i][b]);
      buffer[start + i] = static_cast<float>(sum);
    }
  }
  foldFirstLevel = first;
  foldSecondLevel = second;
}

void TubeStages::VoiceBank(float* buffer, int n) noexcept {
  const BandpassBankSnapshot<kVoiceBands> c(voiceCoefficients);
  const float lowGain = VoiceLowGain.load();
  const float band6Gain = VoiceBand6Gain.load();
  const double outputGain = VoiceOutputGain.load();
  auto s = voiceState;
  for (int i = 0; i < n; ++i) {
    float y[kVoiceBands];
    s.Step(c, buffer[i], y);
    y[1] = y[1] * lowGain;
    y[2] = y[2] * lowGain;
    y[6] = y[6] * band6Gain;
    double sum = 0.0;
    for (int b = 0; b < kVoiceBands; ++b) sum += static_cast<double>(y[b]);
    buffer[i] = static_cast<float>(sum * outputGain);
  }
  voiceState = s;
}

void TubeDesignSequence(TubeStages& tube, GraphicEqualisers& eq, float fs, float p, float q,
                        float r) noexcept {
  tube.DesignVoiceBank(p, 3.0f, fs);
  tube.DesignFoldBank(0, 3.0f, q, r, fs);
  eq.DesignPreEqualiser(fs);
  eq.DesignPostEqualiser(fs);
}

void RunTubeDesignSequence(Engine& engine, float p, float q, float r) noexcept {
  const auto fs = static_cast<float>(engine.params.EngineSampleRate.load());
  TubeDesignSequence(engine.tube, engine.eq, fs, p, q, r);
}

void DesignTubeVoicing1(Engine& engine) noexcept {
  RunTubeDesignSequence(engine, kVoicing1[0], kVoicing1[1], kVoicing1[2]);
}

void DesignTubeVoicing2(Engine& engine) noexcept {
  RunTubeDesignSequence(engine, kVoicing2[0], kVoicing2[1], kVoicing2[2]);
}

}  // namespace fw
