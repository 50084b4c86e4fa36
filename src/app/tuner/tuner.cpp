#include "app/tuner/tuner.h"

#include <algorithm>

namespace fw {

void Tuner::Start(int sampleRate) {
  if (tracker_ == nullptr || tracker_->SampleRate() != sampleRate)
    tracker_ = std::make_unique<PitchTracker>(sampleRate);
  steady_.Reset();
  tail_ = tap_.Head();
  tap_.On.store(1);
}

void Tuner::Stop() {
  tap_.On.store(0);
  tracker_.reset();
  steady_.Reset();
}

bool Tuner::Poll() {
  if (tracker_ == nullptr) return false;
  const std::uint32_t head = tap_.Head();
  // Half a ring behind at most, so the writer never reaches what is being read.
  constexpr std::uint32_t kMostBehind = TunerTap::kCapacity / 2;
  if (head - tail_ > kMostBehind) {
    skipped_ += head - tail_ - kMostBehind;
    tail_ = head - kMostBehind;
  }
  chunk_.resize(head - tail_);
  for (float& sample : chunk_) sample = tap_.At(tail_++);
  const std::optional<double> before = steady_.Shown();
  tracker_->Feed(chunk_.data(), static_cast<int>(chunk_.size()),
                 [this](const PitchEstimate& estimate) { steady_.Add(estimate); });
  return steady_.Shown() != before;
}

void Tuner::SetReference(double hz) { reference_ = std::clamp(hz, kLowestReferenceHz, kHighestReferenceHz); }

std::optional<NoteReading> Tuner::Reading() const {
  const std::optional<double> hz = steady_.Shown();
  if (!hz) return std::nullopt;
  return ReadNote(*hz, reference_);
}

}  // namespace fw
