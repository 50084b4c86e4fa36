#pragma once
// Tone filters around the distortions: FVC1 (with the low-boost side buffer),
// FVC2, FVC3, the fixed second-order section, the fixed high-pass, the high
// pre-equaliser and the second low-pass. Parameters are engine words written by
// the window thread; filter state belongs to the audio thread and is never cleared.
#include <cstdint>

#include "core/word.h"
#include "tone/highpass_section.h"
#include "tone/one_pole_highpass.h"

namespace fw {

struct ToneFilters {
  ToneFilters() noexcept;

  FloatWord Fvc1Cutoff{150.0f};
  FloatWord Fvc1Damping{1.41f};
  FloatWord Fvc1Gain{1.0f};

  FloatWord Fvc2Cutoff{150.0f};
  FloatWord Fvc2Damping{1.41f};
  FloatWord Fvc2Mix{0.5f};

  FloatWord Fvc3Cutoff{100.0f};
  FloatWord Fvc3Damping{1.41f};
  FloatWord Fvc3Gain{1.0f};

  FloatWord HiPassGain{0.0f};  // silence until ScrollBarGainHiF or ScrollBar1 first moves
  FloatWord HiPreCoefficient{1.0f / 6.0f};
  FloatWord HiPreGain{1.0f};
  FloatWord LowPass2Coefficient{1.0f};

  HighPassSection fvc1;
  HighPassSection fvc2;
  HighPassSection fvc3;
  HighPassSection fixedSection;

  // Stages: work[0 .. n-1] in place.
  void Fvc1Filter(float* work, float* side, int n) noexcept;
  void Fvc2Stage(float* work, int n) noexcept;
  void Fvc3Filter(float* work, int n) noexcept;
  void FixedSection(float* work, int n) noexcept;
  void FixedHighPass(float* work, int n) noexcept;
  void HiPreSectionA(float* work, int n) noexcept;
  void HiPreSectionB(float* work, int n) noexcept;
  void LowPass2(float* work, int n) noexcept;
  // One sample through FVC1's section (its state advances), without gain or buffers.
  float Fvc1Step(std::int32_t x) noexcept { return fvc1.Step(static_cast<float>(x)); }

  // One block's run of a stage, sample by sample (words read once, state written
  // back when the run ends), for loops that run several stages per sample so that
  // their recursions overlap. Each stage's block method is a loop over its run.
  class FixedHighPassRun {
   public:
    explicit FixedHighPassRun(ToneFilters& f) noexcept
        : filters_(f), gain_(f.HiPassGain.load()), previous_(f.hiPassPrevious_) {}
    ~FixedHighPassRun() { filters_.hiPassPrevious_ = previous_; }
    FixedHighPassRun(const FixedHighPassRun&) = delete;
    FixedHighPassRun& operator=(const FixedHighPassRun&) = delete;
    // The negated first difference, times the gain.
    float Step(float x) noexcept {
      const float d = previous_ - x;
      previous_ = x;
      return d * gain_;
    }

   private:
    ToneFilters& filters_;
    const float gain_;
    float previous_;
  };
  // Both high pre-equaliser sections, A then B.
  class HiPreRun {
   public:
    explicit HiPreRun(ToneFilters& f) noexcept
        : a_(f.hiPreA_, f.HiPreCoefficient.load(), 1.0f),
          b_(f.hiPreB_, f.HiPreCoefficient.load(), f.HiPreGain.load()) {}
    float Step(float x) noexcept { return b_.Step(a_.Step(x)); }

   private:
    OnePoleHighPass::Run a_;
    OnePoleHighPass::Run b_;
  };
  class Fvc3Run {
   public:
    explicit Fvc3Run(ToneFilters& f) noexcept : section_(f.fvc3), gain_(f.Fvc3Gain.load()) {}
    float Step(float x) noexcept { return section_.Step(x) * gain_; }

   private:
    HighPassSection::Run section_;
    const float gain_;
  };
  class Fvc1Run {
   public:
    explicit Fvc1Run(ToneFilters& f) noexcept : section_(f.fvc1), gain_(f.Fvc1Gain.load()) {}
    // Also writes the low part the filter removed, sign inverted, to `side`.
    float Step(float x, float& side) noexcept {
      const float y = section_.Step(x);
      side = (y - x) * gain_;
      return y * gain_;
    }

   private:
    HighPassSection::Run section_;
    const float gain_;
  };
  class Fvc2Run {
   public:
    explicit Fvc2Run(ToneFilters& f) noexcept : section_(f.fvc2), mix_(f.Fvc2Mix.load()) {}
    float Step(float x) noexcept { return x + section_.Step(x) * mix_; }

   private:
    HighPassSection::Run section_;
    const float mix_;
  };
  class LowPass2Run {
   public:
    explicit LowPass2Run(ToneFilters& f) noexcept
        : f_(f), beta_(f.LowPass2Coefficient.load()), low_(f.lowPass2_) {}
    ~LowPass2Run() { f_.lowPass2_ = low_; }
    LowPass2Run(const LowPass2Run&) = delete;
    LowPass2Run& operator=(const LowPass2Run&) = delete;
    float Step(float x) noexcept {
      low_ = low_ + (x - low_) * beta_;
      return low_;
    }

   private:
    ToneFilters& f_;
    const float beta_;
    float low_;
  };

 private:
  float hiPassPrevious_ = 0.0f;
  OnePoleHighPass hiPreA_;  // the high pre-equaliser's two sections
  OnePoleHighPass hiPreB_;
  float lowPass2_ = 0.0f;
};

// The rate the FVC and fixed-section designs assume at either engine rate (the
// activation's first designs, for the dither table, assume 44100).
inline constexpr float kFilterDesignRate = 22050.0f;

// The fixed second-order section's design, made once at activation.
inline constexpr float kFixedSectionCutoff = 50.0f;
inline constexpr float kFixedSectionDamping = 1.41f;

// Window thread: each design reads its stage's cutoff and damping words and replaces
// that section's coefficients with a design at `rate` samples per second.
void DesignFvc1(ToneFilters& filters, float rate) noexcept;
void DesignFvc2(ToneFilters& filters, float rate) noexcept;
void DesignFvc3(ToneFilters& filters, float rate) noexcept;
void DesignFixedSection(ToneFilters& filters, float rate) noexcept;

}  // namespace fw
