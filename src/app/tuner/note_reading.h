#pragma once
// A frequency as a player reads it: the nearest note of the equal-tempered scale
// (sharps written with '#', octaves numbered so that A4 is the reference), the
// deviation from it in cents, and the frequency.
#include <string>

namespace fw {

inline constexpr double kDefaultReferenceHz = 440.0;

struct NoteReading {
  std::string name;  // "A", "C#", ...
  int octave = 4;
  double cents = 0.0;  // -50 .. 50
  double hz = 0.0;
};

NoteReading ReadNote(double hz, double referenceA4 = kDefaultReferenceHz);
// "A2 -7.5 cents 109.53 Hz"
std::string FormatReading(const NoteReading& reading);

}  // namespace fw
