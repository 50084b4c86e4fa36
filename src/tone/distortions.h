#pragma once
// The soft distortion ("Control Signal Shredder") and the waveshaper distortion.
// Parameters are engine words written by the window thread and read once per
// block; the soft distortion's ring and positions belong to the audio thread.
#include <array>
#include <cmath>
#include <cstdint>

#include "core/word.h"

namespace fw {

// The quadruple a waveshaper type loads: level e, smoothing k, knee input a, knee output b.
struct ShaperTypeSet {
  float level;
  float smooth;
  std::int32_t kneeIn;
  std::int32_t kneeOut;
};

// Types 1 to 3 ("Standard", "Light", "Hard"); type 0 loads nothing.
inline constexpr std::array<ShaperTypeSet, 3> kShaperTypeSets{{
    {0.49f, 0.1f, 1000, 10000},
    {0.242501f, 0.0005f, 1000, 30000},
    {0.117649f, 0.0028f, 400, 29800},
}};

// Positions into the soft distortion's history ring: write (also the newest),
// centre (two behind) and oldest (five behind).
struct SoftRingPositions {
  std::int32_t write;
  std::int32_t newest;
  std::int32_t centre;
  std::int32_t oldest;
};

struct Distortions {
  static constexpr int kHistoryLength = 501;
  static constexpr SoftRingPositions kArmedPositions{398, 398, 396, 393};

  // Soft distortion.
  IntWord SoftDivisor{15};          // L: divides the envelope; 1 selects per-sample shaping
  FloatWord SoftSharpness{1.0e7f};  // B: squashing sets in near sqrt(B)
  FloatWord SoftExponent{1.75f};    // P: 2 = clean, 1 = strongest
  FloatWord SoftLevel{1.0f};
  FloatWord SoftEnvelope{0.0f};  // running five-sample sum; ScrollBar7 resets it
  IntWord SoftArmed{0};          // clear: the next call arms the stage again

  // Waveshaper.
  IntWord ShaperKneeIn{1000};    // a
  IntWord ShaperKneeOut{10000};  // b
  FloatWord ShaperSmooth{0.1f};  // k
  FloatWord ShaperLevel{0.49f};  // e
  FloatWord ShaperDrive{1.0f};   // G: factor on the input magnitude

  // Stages: work[0 .. n-1] in place.
  // inputGain: what the chain left to this stage of the input gain (InputGain while
  // the live input is muted, else 1); it scales each sample on its way into the ring.
  void SoftDistortion(float* work, int n, float inputGain) noexcept;

  // The soft distortion's words for one block.
  struct SoftWords {
    float envelope;
    std::int32_t divisor;
    float sharpness;
    float exponent;
    float level;
    // A divisor of 1 or less shapes each sample by itself instead of by the envelope.
    bool PerSample() const noexcept { return divisor <= 1; }
  };
  // Arms the soft distortion if it was cleared, then reads its words.
  SoftWords ReadSoftWords() noexcept;

  // One block's run of the soft distortion, sample by sample, on words read once:
  // the ring positions and the envelope are kept in locals and written back when
  // the run ends. Step<words.PerSample()> is the stage.
  class SoftRun {
   public:
    SoftRun(Distortions& d, const SoftWords& words, float inputGain) noexcept;
    ~SoftRun();
    SoftRun(const SoftRun&) = delete;
    SoftRun& operator=(const SoftRun&) = delete;

    // A step in three parts, so that a loop can make the power calls on their own:
    // Take moves the ring and the envelope and gives the centre sample d and the
    // magnitude m that shapes it (|d| per sample, else the envelope's average);
    // Shape gives level × d × g with g = (m^P + B) / (m × m + B), where |d| × |d|
    // is exactly d × d.
    struct Taken {
      float d;
      float m;
    };
    template <bool kPerSample>
    Taken Take(float x) noexcept {
      p_.write = NextRingPosition(p_.write);
      p_.newest = NextRingPosition(p_.newest);
      p_.centre = NextRingPosition(p_.centre);
      p_.oldest = NextRingPosition(p_.oldest);

      const float s = x * inputGain_;  // exact for a gain of 1
      history_[p_.write] = s;
      envelope_ = envelope_ + std::fabs(history_[p_.newest]) - std::fabs(history_[p_.oldest]);
      if (envelope_ < kEnvelopeFloor) envelope_ = kEnvelopeFloor;
      const float d = history_[p_.centre];
      if constexpr (kPerSample) {
        return {d, std::fabs(d)};
      } else {
        return {d, envelope_ / divisorF_};
      }
    }
    float Power(float m) const noexcept { return RealPower(m, exponent_); }
    float Shape(Taken t, float power) const noexcept {
      const float g = (power + sharpness_) / (t.m * t.m + sharpness_);
      return level_ * t.d * g;
    }
    template <bool kPerSample>
    float Step(float x) noexcept {
      const Taken t = Take<kPerSample>(x);
      return Shape(t, Power(t.m));
    }

   private:
    static constexpr float kEnvelopeFloor = 50.0f;
    static std::int32_t NextRingPosition(std::int32_t position) noexcept {
      const std::int32_t next = position + 1;
      return next == kHistoryLength ? 0 : next;
    }
    // x^P as a real power, with 0^P = 0.
    static float RealPower(float x, float p) noexcept { return x == 0.0f ? 0.0f : std::pow(x, p); }

    Distortions& stage_;
    float* history_;
    SoftRingPositions p_;
    float envelope_;
    const float divisorF_;
    const float sharpness_;
    const float exponent_;
    const float level_;
    const float inputGain_;
  };
  // The waveshaper with the current knee, smoothing and level words.
  void Waveshaper(float* work, int n) noexcept {
    WaveshaperDistortion(work, ShaperKneeIn.load(), ShaperKneeOut.load(), n, ShaperSmooth.load(),
                         ShaperLevel.load());
  }
  void WaveshaperDistortion(float* work, std::int32_t kneeIn, std::int32_t kneeOut, int n, float smooth,
                            float level) noexcept;

  // Window thread: types 1 to 3 load their quadruple; any other type loads nothing.
  void LoadShaperType(std::int32_t type) noexcept;

  const std::array<float, kHistoryLength>& SoftHistory() const noexcept { return history_; }
  const SoftRingPositions& SoftPositions() const noexcept { return positions_; }

 private:
  std::array<float, kHistoryLength> history_{};
  SoftRingPositions positions_{kArmedPositions};
};

// Inline, so that a loop's run stays in registers.
inline Distortions::SoftRun::SoftRun(Distortions& d, const SoftWords& words, float inputGain) noexcept
    : stage_(d),
      history_(d.history_.data()),
      p_(d.positions_),
      envelope_(words.envelope < kEnvelopeFloor ? kEnvelopeFloor : words.envelope),
      divisorF_(static_cast<float>(words.divisor)),
      sharpness_(words.sharpness),
      exponent_(words.exponent),
      level_(words.level),
      inputGain_(inputGain) {}

inline Distortions::SoftRun::~SoftRun() {
  stage_.positions_ = p_;
  stage_.SoftEnvelope.store(envelope_);
}

}  // namespace fw
