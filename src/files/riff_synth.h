#pragma once
// A short rock riff played on plucked strings (Karplus-Strong synthesis): power
// chords, a boogie figure and a single-note run, about eight seconds long. It is
// the bundled input for demo renders; the same samples come out on every machine.
#include <cstdint>
#include <vector>

namespace fw {

// Mono 16-bit samples at sampleRate (22050 or 44100), peak near half of full scale.
std::vector<std::int16_t> SynthesiseRiff(int sampleRate);

}  // namespace fw
