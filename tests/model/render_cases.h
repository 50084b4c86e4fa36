#pragma once
// The render comparison cases: driver, block, rate, card type, seed, the controls to
// set, the stage families they need and the input signal.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "model/preset_records.h"
#include "model/test_signals.h"

namespace model {

// A stage family, recognised in the product by a control its page adds.

struct Family {
  const char* name;
  const char* probeControl;  // a control that the family's page adds
};
inline const Family kToneFilters{"tone filters", "ScrollBar_FVC2"};
inline const Family kDistortions{"distortion stages", "RadioGroup_HDistort"};
inline const Family kEqualisers{"graphic equalisers", "CheckBox_pre_EQ"};
inline const Family kTube{"tube stages", "CheckBox_tubetortion_OnOff"};
inline const Family kElliptic{"elliptic filter", "RadioGroup_elipsF"};
inline const Family kEcho{"echo delay", "CheckBox_DelayOn_Off"};
inline const Family kReverb{"reverb", "CheckBox_ReverbOnOff"};
inline const Family kFlanger{"flanger", "CheckBox_Flanger"};
// Every render runs the always-on stages, the flanger and the post equaliser.
inline const std::vector<Family> kAllFamilies = {kToneFilters, kDistortions, kEqualisers, kTube,
                                                 kElliptic,    kEcho,        kReverb,     kFlanger};
inline const std::vector<Family> kChainBasics = {kToneFilters, kElliptic, kFlanger, kEqualisers};

struct RenderCase {
  std::string name;
  std::string driver = "wavein";
  int block = 0;  // 0: the driver's default
  int rate = 22050;
  std::optional<int> cardType = std::nullopt;
  uint64_t seed = 7;
  std::vector<std::pair<std::string, int>> sets = {};
  std::vector<Family> needs = {};
  Samples (*input)() = nullptr;
  // A difference that was traced to the product and reported: the case passes once
  // the outputs agree and is skipped with this text while they differ.
  std::string knownDeviation = {};
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
