#include "app/tuner/pitch_tracker.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace fw {
namespace {

constexpr double kLowestHz = 25.0;
constexpr double kHighestHz = 1600.0;
constexpr float kSilenceDb = -55.0f;
constexpr double kMinConfidence = 0.7;

// Normalised correlation of x[0 .. w) with x[lag .. lag + w).
double Correlation(const float* x, int w, int lag) {
  double xy = 0.0, xx = 0.0, yy = 0.0;
  for (int i = 0; i < w; ++i) {
    xy += static_cast<double>(x[i]) * x[i + lag];
    xx += static_cast<double>(x[i]) * x[i];
    yy += static_cast<double>(x[i + lag]) * x[i + lag];
  }
  return xx > 0.0 && yy > 0.0 ? xy / std::sqrt(xx * yy) : 0.0;
}

}  // namespace

struct PitchTracker::Aubio {
  aubio_pitch_t* pitch = nullptr;
  aubio_onset_t* onset = nullptr;
  fvec_t* in = nullptr;
  fvec_t* pitchOut = nullptr;
  fvec_t* onsetOut = nullptr;

  ~Aubio() {
    if (pitch != nullptr) del_aubio_pitch(pitch);
    if (onset != nullptr) del_aubio_onset(onset);
    if (in != nullptr) del_fvec(in);
    if (pitchOut != nullptr) del_fvec(pitchOut);
    if (onsetOut != nullptr) del_fvec(onsetOut);
  }
};

// About 186 ms of window, enough for two periods of a 5-string bass's low B, and a
// hop of about 12 ms.
PitchTracker::PitchTracker(int sampleRate)
    : rate_(sampleRate),
      hop_(sampleRate > 32000 ? 512 : 256),
      window_(sampleRate > 32000 ? 8192 : 4096),
      aubio_(std::make_unique<Aubio>()),
      pending_(static_cast<std::size_t>(hop_)),
      history_(static_cast<std::size_t>(window_), 0.0f) {
  const auto window = static_cast<uint_t>(window_);
  const auto hop = static_cast<uint_t>(hop_);
  const auto rate = static_cast<uint_t>(rate_);
  aubio_->pitch = new_aubio_pitch("yinfast", window, hop, rate);
  aubio_->onset = new_aubio_onset("default", 4 * hop, hop, rate);
  aubio_->in = new_fvec(hop);
  aubio_->pitchOut = new_fvec(1);
  aubio_->onsetOut = new_fvec(1);
  if (aubio_->pitch == nullptr || aubio_->onset == nullptr)
    throw std::runtime_error("aubio: no pitch or onset detector for this rate");
  aubio_pitch_set_silence(aubio_->pitch, kSilenceDb);
  aubio_onset_set_silence(aubio_->onset, kSilenceDb);
  aubio_onset_set_minioi_ms(aubio_->onset, 120.0f);
}

PitchTracker::~PitchTracker() = default;

PitchEstimate PitchTracker::Hop() {
  for (int i = 0; i < hop_; ++i) aubio_->in->data[i] = pending_[static_cast<std::size_t>(i)] / 32768.0f;
  std::copy(history_.begin() + hop_, history_.end(), history_.begin());
  std::copy(pending_.begin(), pending_.end(), history_.end() - hop_);

  PitchEstimate estimate;
  aubio_onset_do(aubio_->onset, aubio_->in, aubio_->onsetOut);
  estimate.onset = aubio_->onsetOut->data[0] > 0.0f;
  aubio_pitch_do(aubio_->pitch, aubio_->in, aubio_->pitchOut);
  estimate.confidence = aubio_pitch_get_confidence(aubio_->pitch);
  const double hz = aubio_->pitchOut->data[0];
  if (hz < kLowestHz || hz > kHighestHz || estimate.confidence < kMinConfidence) return estimate;
  estimate.hz = rate_ / RefinedPeriod(rate_ / hz);
  return estimate;
}

// The period's multiple whose correlation peaks nearest k * period, interpolated
// with a parabola, divided by k; k grows fourfold a step so each step's error stays
// within the next step's search.
double PitchTracker::RefinedPeriod(double period) const {
  const int w = window_ / 2;
  const int room = window_ - w - 3;
  const int most = static_cast<int>(room / period);
  if (most < 1) return period;
  for (int k = 1;; k = std::min(most, 4 * k)) {
    const int centre = std::min(static_cast<int>(std::lround(k * period)), room - 2);
    int best = centre;
    double bestValue = -2.0;
    for (int lag = centre - 2; lag <= centre + 2; ++lag) {
      if (lag < 2) continue;
      const double value = Correlation(history_.data(), w, lag);
      if (value > bestValue) {
        bestValue = value;
        best = lag;
      }
    }
    const double before = Correlation(history_.data(), w, best - 1);
    const double after = Correlation(history_.data(), w, best + 1);
    const double curvature = before - 2.0 * bestValue + after;
    const double offset = curvature < 0.0 ? 0.5 * (before - after) / curvature : 0.0;
    period = (best + std::clamp(offset, -1.0, 1.0)) / k;
    if (k == most) break;
  }
  return period;
}

}  // namespace fw
