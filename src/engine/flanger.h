#pragma once
// The flanger: the signal plus a copy of itself delayed by a time that sweeps
// between about 1 and 301 samples, read with linear interpolation, with feedback of
// the delayed signal into the delay line.
#include <cstdint>

#include "core/word.h"
#include "engine/stage_state_word.h"

namespace fw {

struct Flanger {
  static constexpr int kRingLength = 4096;
  static constexpr int kLineCapacity = 5001;
  static constexpr float kSweepTop = 300.0f;  // the sweep turns back once above this

  // Levels: written by the window thread.
  FloatWord FlangerGain{0.0f};      // level of the delayed signal added to the output
  FloatWord FlangerFeedback{0.0f};  // share of the delayed signal fed back into the line

  // Positions and sweep: advanced by the audio side; the reset, the presets'
  // rewind and the speed control set them from the window thread.
  IntWord writePosition{0};
  FloatWord readPosition{1.0f};
  IntWord readIndex{0};         // trunc(read position), in the ring
  IntWord nextReadIndex{0};     // read index + 1, in the ring
  FloatWord sweepSpeed{0.0f};   // change of delay per sample, signed
  FloatWord sweepAmount{0.0f};  // accumulated sweep, kept in 0..300 by reversing the speed

  // Audio side only; never cleared.
  float line[kLineCapacity] = {};
  float lastOutput = 0.0f;

  // The flanger one sample at a time, for loops that run several stages per sample:
  // words read when the run starts, positions and sweep written back when it ends.
  class Run {
   public:
    explicit Run(Flanger& f) noexcept;
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    float Step(float x) noexcept {
      float* line = f_.line;
      line[wp_] = feedback_ * last_ + x;

      float f = rp_ - static_cast<float>(ip_);
      // The read index lags its read position by at most one sample (f = -1 right after
      // the reset). A read position set apart from its index (the presets' rewind, or a
      // reset landing mid-block) would extrapolate over thousands of samples into a loud
      // click: take the index from the read position instead.
      if (f < -1.0f || f > 1.0f) {
        ip_ = IntoRing(static_cast<std::int32_t>(rp_));
        next_ = IntoRing(ip_ + 1);
        f = rp_ - static_cast<float>(ip_);
      }
      const float a = line[next_];
      const float b = line[ip_];
      const float v = (a - b) * f + b;
      last_ = v;

      wp_ = wp_ + 1;
      if (wp_ >= kRingLength) wp_ = wp_ - kRingLength;

      amount_ = amount_ + speed_;
      if (amount_ > kSweepTop) speed_ = -speed_;
      if (amount_ < 0.0f) speed_ = -speed_;

      rp_ = rp_ + 1.0f + speed_;
      if (rp_ >= static_cast<float>(kRingLength)) rp_ = rp_ - static_cast<float>(kRingLength);
      if (rp_ < 0.0f) rp_ = rp_ + static_cast<float>(kRingLength);

      ip_ = IntoRing(static_cast<std::int32_t>(rp_));
      next_ = IntoRing(ip_ + 1);

      return x + v * gain_;
    }

   private:
    static std::int32_t IntoRing(std::int32_t index) noexcept {
      if (index >= kRingLength) return index - kRingLength;
      if (index < 0) return index + kRingLength;
      return index;
    }

    Flanger& f_;
    const float gain_;
    const float feedback_;
    const std::int32_t writeAtStart_;
    const float readAtStart_;
    const std::int32_t indexAtStart_;
    const std::int32_t nextAtStart_;
    const float speedAtStart_;
    const float amountAtStart_;
    std::int32_t wp_;
    float rp_;
    std::int32_t ip_;
    std::int32_t next_;
    float speed_;
    float amount_;
    float last_;
  };

  // Processes work[0..n) in place.
  void FlangerBlock(float* work, int n) noexcept;

  // The reset of "Off/On" and of the activation sequence: delay 301 samples, speed
  // 0.0075, amount 0.001, gain and feedback 0.5. The line and the last output stay.
  void Reset() noexcept;

  // The preset commands' "read position := 1.0".
  void RewindReadPosition() noexcept { readPosition.store(1.0f); }

  // "Flanger Speed": a positive speed, whatever the current sweep direction.
  void SetSweepSpeed(float speed) noexcept { sweepSpeed.store(speed); }
};

inline Flanger::Run::Run(Flanger& f) noexcept
    : f_(f),
      gain_(f.FlangerGain.load()),
      feedback_(f.FlangerFeedback.load()),
      writeAtStart_(f.writePosition.load()),
      readAtStart_(f.readPosition.load()),
      indexAtStart_(f.readIndex.load()),
      nextAtStart_(f.nextReadIndex.load()),
      speedAtStart_(f.sweepSpeed.load()),
      amountAtStart_(f.sweepAmount.load()),
      wp_(IntoRing(writeAtStart_)),
      rp_(readAtStart_),
      ip_(IntoRing(indexAtStart_)),
      next_(IntoRing(nextAtStart_)),
      speed_(speedAtStart_),
      amount_(amountAtStart_),
      last_(f.lastOutput) {}

inline Flanger::Run::~Run() {
  f_.lastOutput = last_;
  StoreUnlessRewritten(f_.writePosition, writeAtStart_, wp_);
  StoreUnlessRewritten(f_.readPosition, readAtStart_, rp_);
  StoreUnlessRewritten(f_.readIndex, indexAtStart_, ip_);
  StoreUnlessRewritten(f_.nextReadIndex, nextAtStart_, next_);
  StoreUnlessRewritten(f_.sweepSpeed, speedAtStart_, speed_);
  StoreUnlessRewritten(f_.sweepAmount, amountAtStart_, amount_);
}

}  // namespace fw
