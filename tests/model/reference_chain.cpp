#include "model/reference_chain.h"

#include <cmath>
#include <cstdlib>

namespace model {

// ---- dither generator ---------------------------------------------------

uint64_t SplitMixDraw::Next64() {
  state_ += 0x9E3779B97F4A7C15u;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

uint32_t SplitMixDraw::Below(uint32_t bound) {
  // Lemire's bounded draw: the high half of a 32x32 product, rejecting the biased low range.
  const uint32_t threshold = static_cast<uint32_t>(0x100000000u % bound);
  for (;;) {
    const auto r = static_cast<uint32_t>(Next64() >> 32);
    const uint64_t product = static_cast<uint64_t>(r) * bound;
    if (static_cast<uint32_t>(product) >= threshold) return static_cast<uint32_t>(product >> 32);
  }
}

// ---- small helpers ------------------------------------------------------

namespace {

float ClampFloat(float v) {
  if (v > 32000.0f) return 32000.0f;
  if (v < -32000.0f) return -32000.0f;
  return v;
}

int16_t ClampRound(float v) { return static_cast<int16_t>(RoundNearest(ClampFloat(v))); }

int32_t ClampInt(int32_t v) { return v > 32000 ? 32000 : (v < -32000 ? -32000 : v); }

}  // namespace

// Saturates far outside the 16-bit range so the conversion stays defined.
int32_t RoundNearest(float v) {
  if (v > 1.0e9f) return 1000000000;
  if (v < -1.0e9f) return -1000000000;
  if (v != v) return 0;
  return static_cast<int32_t>(std::nearbyint(v));
}

float OutputGainForPosition(int position) {
  const int a = 101 - position;
  const int d = std::abs(a - 50) + 1;
  if (a >= 50) return 1.0f / static_cast<float>(d);
  return static_cast<float>(d);
}

// ---- chain pieces -----------------------------------------------------------

void ReferenceChain::Waveshaper(float* buf, int n) {
  WaveshaperDistortion(shaper.kneeIn, shaper.kneeOut, n, shaper.smooth, shaper.level, shaper.drive, buf);
}

void ReferenceChain::WaveshaperWithBoost(int n) {
  float* work = work_.data();
  if (p.lowBoostOn != 1) {
    Waveshaper(work, n);
    return;
  }
  for (int i = 0; i < n; ++i) boostSave_[static_cast<size_t>(i)] = work[i];
  for (int i = 0; i < n; ++i) work[i] = side_[static_cast<size_t>(i)];
  Waveshaper(work, n);
  for (int i = 0; i < n; ++i) side_[static_cast<size_t>(i)] = work[i];
  for (int i = 0; i < n; ++i) work[i] = boostSave_[static_cast<size_t>(i)];
  Waveshaper(work, n);
  for (int i = 0; i < n; ++i) {
    const float mixed = side_[static_cast<size_t>(i)] * p.lowBoostMix;
    const float scaled = mixed * 0.0005f;
    work[i] = scaled + work[i];
  }
}

void ReferenceChain::FileMixIn(int n, int wrap, int firstMark, int secondMark) {
  // No file plays: the file buffer holds zeros, the mix-in and its counter still run.
  float* work = work_.data();
  for (int i = 0; i < n; ++i) {
    const float fileSample = 0.0f * p.wavFileGain;
    work[i] = fileSample + work[i];
  }
  p.fileBlockCounter = p.fileBlockCounter + 1;
  if (p.fileBlockCounter >= wrap) p.fileBlockCounter = 0;
  if (p.fileBlockCounter == firstMark) p.fileRefillRequest = 2;
  if (p.fileBlockCounter == secondMark) p.fileRefillRequest = 1;
}

void ReferenceChain::RunStagesWaveIn(int n) {
  float* work = work_.data();
  if (p.preEqOn == 1) preEq.Process(work, n);
  if (p.hiPassOn == 1) FixedHighPass(fixedHighPass, p.hiPassGain, work, n);
  if (p.hiPreOn == 1) {
    HiPreSectionA(hiPreA, p.hiPreCoefficient, work, n);
    HiPreSectionB(hiPreB, p.hiPreCoefficient, p.hiPreGain, work, n);
  }
  Fvc3Filter(fvc3, work, n);
  if (p.softDistortionOn == 1.0f) soft.Process(work, n, p.liveInputFactor, p.inputGain);
  if (p.fvc1On == 1) Fvc1Filter(fvc1, work, side_.data(), n);
  if (p.distortionType > 0) WaveshaperWithBoost(n);
  if (p.tubeOn == 1) {
    tube.FoldBank(work, n);
    tube.VoiceBank(work, n);
  }
  FixedSection(fixedSection, work, n);
  Fvc2Stage(fvc2, work, n);
  if (p.postEqOn == 1) postEq.Process(work, n);
  if (p.echoOn == 1) echo.Process(work, n, p.echoDelay);
  elliptic.Process(work, n);
  if (p.lowPass2On == 1) LowPass2(lowPass2, p.lowPass2Coefficient, work, n);
  if (p.flangerOn == 1) flanger.Process(work, n);
  if (p.reverbOn == 1)
    reverb.Process(work, n, p.reverbAllPassGain, p.reverbDelay2, p.reverbGain2, p.reverbBrightness);
}

void ReferenceChain::RunStagesDirect(int n) {
  float* work = work_.data();
  if (p.preEqOn == 1) preEq.Process(work, n);
  if (p.hiPassOn == 1) FixedHighPass(fixedHighPass, p.hiPassGain, work, n);
  if (p.hiPreOn == 1) {
    HiPreSectionA(hiPreA, p.hiPreCoefficient, work, n);
    HiPreSectionB(hiPreB, p.hiPreCoefficient, p.hiPreGain, work, n);
  }
  Fvc3Filter(fvc3, work, n);
  if (p.softDistortionOn == 1.0f) soft.Process(work, n, p.liveInputFactor, p.inputGain);
  if (p.fvc1On == 1) Fvc1Filter(fvc1, work, side_.data(), n);
  if (p.distortionType > 0) WaveshaperWithBoost(n);
  if (p.tubeOn == 1) {
    tube.FoldBank(work, n);
    tube.VoiceBank(work, n);
  }
  if (p.postEqOn == 1) postEq.Process(work, n);
  Fvc2Stage(fvc2, work, n);
  elliptic.Process(work, n);
  if (p.lowPass2On == 1) LowPass2(lowPass2, p.lowPass2Coefficient, work, n);
  if (p.flangerOn == 1) flanger.Process(work, n);
  if (p.echoOn == 1) echo.Process(work, n, p.echoDelay);
  if (p.reverbOn == 1)
    reverb.Process(work, n, p.reverbAllPassGain, p.reverbDelay2, p.reverbGain2, p.reverbBrightness);
}

void ReferenceChain::RunStagesRealtime(int n) {
  float* work = work_.data();
  if (p.hiPassOn == 1) FixedHighPass(fixedHighPass, p.hiPassGain, work, n);
  if (p.hiPreOn == 1) {
    HiPreSectionA(hiPreA, p.hiPreCoefficient, work, n);
    HiPreSectionB(hiPreB, p.hiPreCoefficient, p.hiPreGain, work, n);
  }
  Fvc3Filter(fvc3, work, n);
  if (p.softDistortionOn == 1.0f) soft.Process(work, n, p.liveInputFactor, p.inputGain);
  if (p.fvc1On == 1) Fvc1Filter(fvc1, work, side_.data(), n);
  if (p.distortionType > 0) WaveshaperWithBoost(n);
  if (p.tubeOn == 1) {
    tube.FoldBank(work, n);
    tube.VoiceBank(work, n);
  }
  Fvc2Stage(fvc2, work, n);
  elliptic.Process(work, n);
  if (p.lowPass2On == 1) LowPass2(lowPass2, p.lowPass2Coefficient, work, n);
  if (p.flangerOn == 1) flanger.Process(work, n);
  if (p.echoOn == 1) echo.Process(work, n, p.echoDelay);
  if (p.reverbOn == 1)
    reverb.Process(work, n, p.reverbAllPassGain, p.reverbDelay2, p.reverbGain2, p.reverbBrightness);
}

// ---- drivers ----------------------------------------------------------------

void ReferenceChain::ProcessWaveIn(const int16_t* in, int16_t* out) {
  const int n = p.waveInBlockLength;
  float* work = work_.data();
  for (int i = 0; i < n; ++i) {
    const auto x = static_cast<float>(in[i]);
    dry_[static_cast<size_t>(i)] = x;
    const float gained = x * p.inputGain;
    work[i] = gained * p.liveInputFactor;
  }
  if (p.wavViaEffects == 1) FileMixIn(n, 100, 10, 60);
  RunStagesWaveIn(n);
  if (p.wavViaEffects != 1) FileMixIn(n, 100, 10, 60);
  int posted = 0;
  for (int i = 0; i < n; ++i) {
    const float v = work[i] * p.outputGain;
    if (v > 32000.0f && p.overloadLatch == 0) {
      p.overloadLatch = 1;
      ++posted;
    }
    if (v < 31000.0f) p.overloadLatch = 0;
    out[i] = ClampRound(v);
  }
  overloadMessages += posted;
  DeliverOverloadMessages(posted);
}

void ReferenceChain::DeliverOverloadMessages(int count) {
  for (int k = 0; k < count; ++k) {
    const int position = controls_.Position("ScrollBar_OutPut_Volume");
    if (position > 1) {
      controls_.Set("ScrollBar_OutPut_Volume", position - 1);
      p.overloadLatch = 0;
    }
  }
}

void ReferenceChain::ProcessDirect(int32_t count, int16_t* block) {
  const int n = count;
  float* work = work_.data();
  for (int i = 0; i < n; ++i) {
    const auto x = static_cast<float>(block[i]);
    dry_[static_cast<size_t>(i)] = x;
    const float gained = x * p.inputGain;
    work[i] = gained * p.liveInputFactor;
  }
  const bool short128 = p.realtimeBlockLength == 128;
  const int wrap = short128 ? 120 : 60, first = short128 ? 10 : 5, second = short128 ? 70 : 35;
  if (p.wavViaEffects == 1) FileMixIn(n, wrap, first, second);
  RunStagesDirect(n);
  if (p.wavViaEffects != 1) FileMixIn(n, wrap, first, second);
  for (int i = 0; i < n; ++i) {
    const float v = p.recordClean == 1 ? dry_[static_cast<size_t>(i)] : work[i] * p.outputGain;
    if (v > 32000.0f) p.outputGain = p.outputGain * 0.9f;
    block[i] = ClampRound(v);
  }
}

void ReferenceChain::ProcessRealtime(int16_t* shared) {
  const int n = p.realtimeBlockLength;
  float* work = work_.data();
  if (n == 128) {
    for (int i = 0; i < 128; ++i) {
      const int32_t sum = static_cast<int32_t>(shared[2 * i]) + static_cast<int32_t>(shared[2 * i + 1]);
      work[i] = static_cast<float>(sum);
    }
  } else {
    for (int i = 0; i < 256; ++i) work[i] = static_cast<float>(shared[i]);
  }
  const float inputFactor = p.inputGain * p.liveInputFactor;
  for (int i = 0; i < n; ++i) {
    dry_[static_cast<size_t>(i)] = work[i];
    work[i] = work[i] * inputFactor;
  }
  const bool short128 = n == 128;
  const int wrap = short128 ? 160 : 80, first = short128 ? 10 : 5, second = short128 ? 90 : 45;
  if (p.wavViaEffects == 1) FileMixIn(n, wrap, first, second);
  RunStagesRealtime(n);
  if (p.wavViaEffects != 1) FileMixIn(n, wrap, first, second);
  for (int i = 0; i < n; ++i) work[i] = work[i] * p.outputGain;
  if (p.cardType == 1) {
    for (int i = 0; i < n; ++i) {
      const auto s = static_cast<int16_t>(ClampInt(RoundNearest(work[i])));
      if (n == 128) {
        shared[2 * i] = s;
        shared[2 * i + 1] = s;
      } else {
        shared[i] = s;
      }
    }
  } else {
    for (int i = 0; i < 128; ++i) {
      const int32_t r = RoundNearest(work[i]);
      shared[2 * i] = static_cast<int16_t>(ClampInt(r + dither[ditherIndex]));
      ++ditherIndex;
      shared[2 * i + 1] = static_cast<int16_t>(ClampInt(r + dither[ditherIndex]));
      ++ditherIndex;
    }
  }
}

}  // namespace model
