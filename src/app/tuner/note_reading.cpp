#include "app/tuner/note_reading.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace fw {

NoteReading ReadNote(double hz, double referenceA4) {
  static constexpr std::array<const char*, 12> kNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                         "F#", "G",  "G#", "A",  "A#", "B"};
  // Semitones from C0, where A4 is 57.
  const double semitones = 12.0 * std::log2(hz / referenceA4) + 57.0;
  const double nearest = std::round(semitones);
  const int index = static_cast<int>(nearest);
  NoteReading reading;
  reading.name = kNames[static_cast<std::size_t>(((index % 12) + 12) % 12)];
  reading.octave = static_cast<int>(std::floor(nearest / 12.0));
  reading.cents = 100.0 * (semitones - nearest);
  reading.hz = hz;
  return reading;
}

std::string FormatReading(const NoteReading& reading) {
  // A reading that rounds to -0.0 shows as 0.0.
  const double cents = std::round(reading.cents * 10.0) / 10.0 + 0.0;
  char text[64];
  std::snprintf(text, sizeof text, "%s%d %.1f cents %.2f Hz", reading.name.c_str(), reading.octave, cents,
                reading.hz);
  return text;
}

}  // namespace fw
