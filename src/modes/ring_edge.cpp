#include "modes/ring_edge.h"

#include <algorithm>
#include <cmath>

namespace fw {
namespace {
std::int32_t ShareOf(const std::vector<std::int32_t>& records, std::int32_t value) {
  const auto count = static_cast<std::int32_t>(std::count(records.begin(), records.end(), value));
  return static_cast<std::int32_t>(
      std::lround(static_cast<double>(count) * 100.0 / static_cast<double>(records.size())));
}

// The value with the largest share of the records (the first on equal shares).
void MostCommon(const std::vector<std::int32_t>& records, std::int32_t& value, std::int32_t& share) {
  value = 0;
  share = 0;
  for (std::int32_t candidate : records) {
    const std::int32_t s = ShareOf(records, candidate);
    if (s > share) {
      share = s;
      value = candidate;
    }
  }
}
}  // namespace

// A measuring thread preempted while the channel passed the edge saw a value short of
// it in that window. When that happened in half the windows or more (a loaded machine)
// the most common extreme can be such a miss; a lone read stays an outlier.
void RingEdge(const std::vector<std::int32_t>& records, bool highest, std::int32_t& value,
              std::int32_t& share) {
  MostCommon(records, value, share);
  if (share >= 50) return;
  for (std::int32_t candidate : records) {
    const bool further = highest ? candidate > value : candidate < value;
    if (further && std::count(records.begin(), records.end(), candidate) > 1) value = candidate;
  }
  share = ShareOf(records, value);
}

}  // namespace fw
