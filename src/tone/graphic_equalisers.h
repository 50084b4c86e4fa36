#pragma once
// The pre and post nine-band graphic equalisers: nine band-pass sections in
// parallel on the same input, weighted by the band gains, summed in double in
// band order and scaled by the output gain.
#include "core/word.h"
#include "tone/bandpass_section.h"

namespace fw {

// Centre and width in hertz of the nine bands; the tube stages' voicing bank
// uses the same layout.
struct BandLayout {
  int centre;
  int width;
};
inline constexpr int kEqualiserBands = 9;
inline constexpr BandLayout kEqualiserLayout[kEqualiserBands] = {{62, 40},     {125, 100},   {250, 200},
                                                                 {425, 400},   {850, 800},   {1700, 1200},
                                                                 {3400, 2000}, {5500, 4000}, {8000, 3500}};

inline constexpr float kNeutralBandGain = 10.0f;
inline constexpr float kNeutralEqOutputGain = 0.1f;

// Slider law m(v) for v = 101 - position: 1.0 at v = 50 rising to 11.0 at 100,
// falling to 1/10.8 at v = 1.
double SliderLaw(int v) noexcept;

// One nine-band equaliser.
struct GraphicEqualiser {
  BandpassBankCoefficients<kEqualiserBands> coefficients;
  FloatWord BandGain[kEqualiserBands];
  FloatWord EqOutputGain{0.0f};

  // Neutral gains, then the nine sections at rate fs.
  void Design(float fs) noexcept;
  // Band 1..8 gets 10 x m(v); band 0 has no slider, other bands are ignored.
  void SetBandGain(int band, int v) noexcept;
  void Process(float* buffer, int n, BankWidth width = WidestBankWidth()) noexcept;

  // The equaliser one sample at a time, for loops that run several stages per sample:
  // the coefficients, weights and a copy of the state taken when the run starts, the
  // state written back when it ends; the same bits as Process. Eight lanes only
  // inside functions built for AVX2.
  template <int W>
  class Run {
    static constexpr int kVectors = LaneVectors(kEqualiserBands, W);

   public:
    using Row = Lanes<W>[kVectors];  // one sample's weighted band values

    explicit Run(GraphicEqualiser& eq) noexcept
        : eq_(eq), c_(eq.coefficients), scale_(eq.EqOutputGain.load()), s_(eq.state_.Relaned<W>()) {
      FillBandWeights<kEqualiserBands, W>(
          gain_, [&eq](int b) { return b < kEqualiserBands ? eq.BandGain[b].load() : 0.0f; });
    }
    ~Run() { eq_.state_ = s_.template Relaned<kLanes>(); }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // The weighted bands summed in double in band order, as Process sums them.
    [[gnu::always_inline]] float Step(float x) noexcept {
      Lanes<W> y[kVectors];
      s_.Step(c_, x, y);
      double sum = 0.0;
      for (int v = 0; v < kVectors; ++v) {
        const Lanes<W> weighted = y[v] * gain_[v];
        for (int k = 0; k < W && v * W + k < kEqualiserBands; ++k) sum += static_cast<double>(weighted[k]);
      }
      return static_cast<float>(sum * scale_);
    }
    // The same in two parts, for loops that sum many samples at once: one sample's
    // weighted bands, then rows of them summed into output samples.
    void StepBands(float x, Row& weighted) noexcept {
      Lanes<W> y[kVectors];
      s_.Step(c_, x, y);
      for (int v = 0; v < kVectors; ++v) weighted[v] = y[v] * gain_[v];
    }
    void Sum(const Row* rows, int count, float* out) const noexcept {
      SumBandsInOrder<kVectors>(rows, count, kEqualiserBands, scale_, out);
    }
    // The whole bank over buffer[0 .. n-1] in place.
    void Process(float* buffer, int n) noexcept { RunWeightedBank(s_, c_, gain_, scale_, buffer, n); }

   private:
    GraphicEqualiser& eq_;
    const BandpassBankSnapshot<kEqualiserBands, W> c_;
    const double scale_;
    BandpassBankState<kEqualiserBands, W> s_;  // a local copy cannot alias the buffer
    Lanes<W> gain_[kVectors];
  };

 private:
  void ProcessInEightLanes(float* buffer, int n) noexcept;

  BandpassBankState<kEqualiserBands> state_;  // audio side only
};

struct GraphicEqualisers {
  GraphicEqualiser pre;
  GraphicEqualiser post;

  void DesignPreEqualiser(float fs) noexcept { pre.Design(fs); }
  void DesignPostEqualiser(float fs) noexcept { post.Design(fs); }
  void SetPreBandGain(int band, int v) noexcept { pre.SetBandGain(band, v); }
  void SetPostBandGain(int band, int v) noexcept { post.SetBandGain(band, v); }

  void PreEqualiser(float* buffer, int n) noexcept { pre.Process(buffer, n); }
  void PostEqualiser(float* buffer, int n) noexcept { post.Process(buffer, n); }
};

}  // namespace fw
