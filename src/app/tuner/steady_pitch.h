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
  // Median of the note's pitches since its onset, from the hops whose whole window
  // lies inside the note when there are such; empty before any.
  std::optional<double> NoteMedian() const;
  // Hops in one window of the tracker: those after an onset still hear the note before.
  void SetWindowHops(int hops) { windowHops_ = hops; }

 private:
  static constexpr std::size_t kRecent = 7;
  static constexpr std::size_t kAgreeing = 4;
  std::deque<double> recent_;
  std::vector<double> note_;
  std::vector<double> settled_;
  int hopsSinceOnset_ = 0;
  int windowHops_ = 16;
  std::optional<double> shown_;
};

}  // namespace fw
