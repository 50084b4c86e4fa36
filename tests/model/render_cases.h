#pragma once
// The render comparison cases: driver, block, rate, card type, seed, the controls to
// set and the input signal.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "model/preset_records.h"
#include "model/test_signals.h"

namespace model {

struct RenderCase {
  std::string name;
  std::string driver = "wavein";
  int block = 0;  // 0: the driver's default
  int rate = 22050;
  std::optional<int> cardType = std::nullopt;
  uint64_t seed = 7;
  std::vector<std::pair<std::string, int>> sets = {};
  Samples (*input)() = nullptr;
  // A "clear.pre" of the test's own, handed to the CLI with --preset-dir.
  PresetBytes (*clearPreset)() = nullptr;
};

inline void PrintTo(const RenderCase& c, std::ostream* os) { *os << c.name; }

// Inputs, 1.5 to 3 seconds at 22050 samples per second (one of 12 seconds).
Samples Guitar();
Samples GuitarLong();
Samples Loud();
Samples TwelveSeconds();
Samples HighString();

std::vector<RenderCase> Cases();

}  // namespace model
