#pragma once
// The tuner off the audio thread: reads the input's copy from the engine's tap,
// tracks its pitch and keeps the steady reading against an adjustable A4.
// Window thread only.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "app/tuner/note_reading.h"
#include "app/tuner/pitch_tracker.h"
#include "app/tuner/steady_pitch.h"
#include "engine/tuner_tap.h"

namespace fw {

class Tuner {
 public:
  static constexpr double kLowestReferenceHz = 430.0;
  static constexpr double kHighestReferenceHz = 450.0;

  explicit Tuner(TunerTap& tap) : tap_(tap) {}

  // Listens to the input at `sampleRate` from now on (the tap's On word).
  void Start(int sampleRate);
  void Stop();
  bool Running() const { return tracker_ != nullptr; }
  int SampleRate() const { return tracker_ != nullptr ? tracker_->SampleRate() : 0; }

  // Reads what the tap holds. Samples lost to a reader that fell a ring behind are
  // skipped; true when the shown reading changed.
  bool Poll();

  void SetReference(double hz);
  double Reference() const { return reference_; }
  std::optional<NoteReading> Reading() const;
  // Samples skipped because the reader fell behind.
  std::uint64_t Skipped() const { return skipped_; }

 private:
  TunerTap& tap_;
  std::unique_ptr<PitchTracker> tracker_;
  SteadyPitch steady_;
  std::uint32_t tail_ = 0;
  std::uint64_t skipped_ = 0;
  double reference_ = kDefaultReferenceHz;
  std::vector<float> chunk_;
};

}  // namespace fw
