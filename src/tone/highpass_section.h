#pragma once
// The second-order high-pass section shared by the FVC stages. The window thread
// designs it (in double, stored as float words) while the audio thread filters.
// The state is never cleared: a redesign replaces only the coefficients. It is
// kept in words too, because FVC1's state is also advanced by the activation
// sequence (the dither table) while a driver may run; a block works on local copies.
#include "core/word.h"

namespace fw {

struct HighPassDesign {
  float a0;
  float a1;
  float a2;
};

// t = tan(pi fc / fs); a0 = t^2 + q t + 1, a1 = t^2 - 2, a2 = t^2 - q t + 1.
HighPassDesign DesignHighPass(double cutoff, double damping, double designRate) noexcept;

class HighPassSection {
 public:
  // Window thread: replaces the coefficients; the state carries over.
  void Design(double cutoff, double damping, double designRate) noexcept;
  void SetCoefficients(const HighPassDesign& design) noexcept;
  HighPassDesign Coefficients() const noexcept { return {a0_.load(), a1_.load(), a2_.load()}; }

  // One block's run of the section: coefficients read once, state in locals,
  // written back when the run ends.
  class Run {
   public:
    explicit Run(HighPassSection& section) noexcept
        : section_(section),
          c_(section.Coefficients()),
          x1_(section.x1_.load()),
          x2_(section.x2_.load()),
          y1_(section.y1_.load()),
          y2_(section.y2_.load()) {}
    ~Run() {
      section_.x1_.store(x1_);
      section_.x2_.store(x2_);
      section_.y1_.store(y1_);
      section_.y2_.store(y2_);
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    float Step(float x) noexcept {
      const float y = (x - 2.0f * x1_ + x2_ - (c_.a1 * y1_ + c_.a2 * y2_)) / c_.a0;
      x2_ = x1_;
      x1_ = x;
      y2_ = y1_;
      y1_ = y;
      return y;
    }

   private:
    HighPassSection& section_;
    const HighPassDesign c_;
    float x1_, x2_, y1_, y2_;
  };

  // A single sample through the section.
  float Step(float x) noexcept { return Run(*this).Step(x); }

  // Magnitude of the current design at a frequency, for a stream at sampleRate.
  double Magnitude(double frequency, double sampleRate) const noexcept;

 private:
  // Until the first design the section passes its input through (t = 0).
  FloatWord a0_{1.0f};
  FloatWord a1_{-2.0f};
  FloatWord a2_{1.0f};
  FloatWord x1_{0.0f};
  FloatWord x2_{0.0f};
  FloatWord y1_{0.0f};
  FloatWord y2_{0.0f};
};

}  // namespace fw
