#include "support/exactness.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

namespace fw::test {

bool Exactness::WithinRule() const noexcept {
  if (!sameLength) return false;
  const bool closeEverywhere =
      largestLsb <= 2 && static_cast<double>(overOneLsb) <= 0.001 * static_cast<double>(samples);
  return closeEverywhere || signalToDifferenceDb >= 80.0;
}

std::string Exactness::Describe() const {
  std::ostringstream s;
  if (!sameLength) s << "lengths differ; ";
  s << "largest difference " << largestLsb << " LSB, " << overOneLsb << " of " << samples
    << " samples more than 1 LSB apart (at most 2 LSB and 0.1 % allowed); signal to difference "
    << signalToDifferenceDb << " dB (80 dB allowed)";
  return s.str();
}

Exactness MeasureExactness(std::span<const std::int16_t> reference,
                           std::span<const std::int16_t> actual) noexcept {
  Exactness e;
  e.samples = std::min(reference.size(), actual.size());
  e.sameLength = reference.size() == actual.size();
  double signal = 0.0;
  double difference = 0.0;
  for (std::size_t i = 0; i < e.samples; ++i) {
    const int d = std::abs(static_cast<int>(actual[i]) - static_cast<int>(reference[i]));
    e.largestLsb = std::max(e.largestLsb, d);
    if (d > 1) ++e.overOneLsb;
    signal += static_cast<double>(reference[i]) * reference[i];
    difference += static_cast<double>(d) * d;
  }
  e.signalToDifferenceDb =
      difference == 0.0 ? std::numeric_limits<double>::infinity() : 10.0 * std::log10(signal / difference);
  return e;
}

testing::AssertionResult WithinExactnessRule(std::span<const std::int16_t> reference,
                                             std::span<const std::int16_t> actual) {
  const Exactness e = MeasureExactness(reference, actual);
  if (e.WithinRule()) return testing::AssertionSuccess();
  return testing::AssertionFailure() << e.Describe();
}

}  // namespace fw::test
