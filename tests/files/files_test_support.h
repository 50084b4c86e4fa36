#pragma once
// Raw sample files and big-endian readers for the file tests.
#include <cstdint>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace fw::test {

// Samples as the player reads them: little-endian, or big-endian for AU names.
inline void WriteSamples(const std::string& path, const std::vector<std::int16_t>& samples, bool bigEndian) {
  std::vector<std::uint8_t> bytes;
  for (std::int16_t s : samples) {
    const auto v = static_cast<std::uint16_t>(s);
    const auto lo = static_cast<std::uint8_t>(v & 0xFF);
    const auto hi = static_cast<std::uint8_t>(v >> 8);
    bytes.push_back(bigEndian ? hi : lo);
    bytes.push_back(bigEndian ? lo : hi);
  }
  WriteBytes(path, bytes);
}

inline std::uint32_t BigEndian32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
         std::uint32_t{b[at + 3]};
}

inline std::int16_t BigEndian16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]));
}

// A test signal that never repeats within a ring and reaches the full 16-bit range.
inline std::int16_t SignalAt(std::int64_t i) {
  const std::int64_t v = (i * 7919) % 65536 - 32768;
  return static_cast<std::int16_t>(v);
}

}  // namespace fw::test
