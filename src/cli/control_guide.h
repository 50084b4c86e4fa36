#pragma once
// What each control of the window does to the sound, in one line, and its unit: the
// text `fretwerk-cli controls` shows beside the control model's own facts.
#include <string_view>

namespace fw::cli {

struct ControlGuide {
  std::string_view unit;  // empty where a position has no unit
  std::string_view what;
};

// Empty texts for a control without an entry.
ControlGuide GuideFor(std::string_view name);

}  // namespace fw::cli
