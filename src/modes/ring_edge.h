#pragma once
// The DMA-direct detection's estimate of where a DMA channel's ring begins and ends,
// from the lowest or highest position each measuring window saw.
#include <cstdint>
#include <vector>

namespace fw {

// The most common extreme with its share in percent; when it has under half the
// windows (the measuring thread was preempted at the edge), the furthest value more
// than one window saw.
void RingEdge(const std::vector<std::int32_t>& records, bool highest, std::int32_t& value,
              std::int32_t& share);

}  // namespace fw
