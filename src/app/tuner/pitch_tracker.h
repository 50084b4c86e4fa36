#pragma once
// Pitch of a mono signal, hop by hop: aubio's YIN (computed in the spectral domain)
// finds the period, then the period is refined on a lag of many periods, where the
// same interpolation error weighs that many times less: YIN alone is off by several
// cents above 600 Hz at 22050 Hz. aubio's onset detector marks each new note.
// Window thread (or any one thread); allocates only when built.
#include <cstdint>
#include <memory>
#include <vector>

namespace fw {

struct PitchEstimate {
  double hz = 0.0;          // 0: no pitch in this hop (silence or no clear period)
  double confidence = 0.0;  // YIN's, 0 .. 1
  bool onset = false;       // a note starts in this hop
};

class PitchTracker {
 public:
  explicit PitchTracker(int sampleRate);
  ~PitchTracker();
  PitchTracker(const PitchTracker&) = delete;
  PitchTracker& operator=(const PitchTracker&) = delete;

  int SampleRate() const { return rate_; }
  int HopSize() const { return hop_; }
  int WindowSize() const { return window_; }

  // Samples on the 16-bit scale; `each(const PitchEstimate&)` runs once for every
  // hop completed.
  template <class Each>
  void Feed(const float* samples, int n, Each&& each) {
    for (int i = 0; i < n; ++i) {
      pending_[filled_++] = samples[i];
      if (filled_ == hop_) {
        each(Hop());
        filled_ = 0;
      }
    }
  }

 private:
  PitchEstimate Hop();
  double RefinedPeriod(double period) const;

  struct Aubio;
  int rate_;
  int hop_;
  int window_;
  std::unique_ptr<Aubio> aubio_;
  std::vector<float> pending_;
  int filled_ = 0;
  std::vector<float> history_;  // the last window_ samples, oldest first
};

}  // namespace fw
