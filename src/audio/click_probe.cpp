#include "audio/click_probe.h"

#include <algorithm>
#include <cmath>

namespace fw {

std::vector<int> ClickProbe::Delays(const std::vector<float>& heard, std::int64_t from) const {
  std::vector<int> delays;
  const auto size = static_cast<std::int64_t>(heard.size());
  std::int64_t click = (std::max<std::int64_t>(from, 0) + interval - 1) / interval * interval;
  for (; click + longest <= size; click += interval) {
    int best = -1;
    float loudest = 0.0f;
    for (int d = 0; d < longest; ++d) {
      const float v = std::fabs(heard[static_cast<std::size_t>(click + d)]);
      if (v > loudest) {
        loudest = v;
        best = d;
      }
    }
    // Far below the click: nothing came back (or only noise).
    if (loudest >= 0.05f * level) delays.push_back(best);
  }
  return delays;
}

int MedianDelay(std::vector<int> delays) {
  if (delays.empty()) return -1;
  const auto middle = delays.begin() + static_cast<std::ptrdiff_t>((delays.size() - 1) / 2);
  std::nth_element(delays.begin(), middle, delays.end());
  return *middle;
}

}  // namespace fw
