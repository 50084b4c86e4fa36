#include "app/tuner/steady_pitch.h"

#include <algorithm>

namespace fw {
namespace {

double Median(std::vector<double> values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

}  // namespace

void SteadyPitch::Add(const PitchEstimate& estimate) {
  if (estimate.onset) {
    recent_.clear();
    note_.clear();
    settled_.clear();
    hopsSinceOnset_ = 0;
  }
  ++hopsSinceOnset_;
  if (estimate.hz <= 0.0) return;
  if (hopsSinceOnset_ > windowHops_) settled_.push_back(estimate.hz);
  recent_.push_back(estimate.hz);
  if (recent_.size() > kRecent) recent_.pop_front();
  note_.push_back(estimate.hz);
  if (recent_.size() >= kAgreeing) shown_ = Median({recent_.begin(), recent_.end()});
}

void SteadyPitch::Reset() {
  recent_.clear();
  note_.clear();
  settled_.clear();
  hopsSinceOnset_ = 0;
  shown_.reset();
}

std::optional<double> SteadyPitch::NoteMedian() const {
  if (!settled_.empty()) return Median(settled_);
  if (note_.empty()) return std::nullopt;
  return Median(note_);
}

}  // namespace fw
