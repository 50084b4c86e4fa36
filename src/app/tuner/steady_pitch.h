#pragma once
// The reading a tuner shows: the median of the last few hops' pitches, so a single
// stray hop never moves it, held while the note decays into silence and started
// afresh at each onset, so the last note's pitches never mix into the next one's.
// It also keeps the median over the whole note, the note's steady reading.
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "app/tuner/pitch_tracker.h"

namespace fw {

class SteadyPitch {
 public:
  // One hop's estimate.
  void Add(const PitchEstimate& estimate);
  void Reset();

  // The shown pitch, once enough hops agree; held through silence.
  std::optional<double> Shown() const { return shown_; }
  // Median of the note's pitches so far (since its onset); empty before any.
  std::optional<double> NoteMedian() const;

 private:
  static constexpr std::size_t kRecent = 7;
  static constexpr std::size_t kAgreeing = 4;
  std::deque<double> recent_;
  std::vector<double> note_;
  std::optional<double> shown_;
};

}  // namespace fw
