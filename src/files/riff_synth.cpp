#include "files/riff_synth.h"

#include <algorithm>
#include <cmath>

#include "engine/dither_random.h"

namespace fw {
namespace {

constexpr double kBeat = 0.5;  // seconds per quarter note (120 beats per minute)
constexpr double kEighth = kBeat / 2;
constexpr double kStrumDelay = 0.009;  // between the strings of a chord

// Pitches in Hz from MIDI note numbers (A4 = 69 = 440 Hz).
double Pitch(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// MIDI note numbers of the strings' pitches.
constexpr int E2 = 40, G2 = 43, A2 = 45, B2 = 47, Cs3 = 49, D3 = 50, E3 = 52, Fs3 = 54, G3 = 55, A3 = 57;
constexpr int As3 = 58, B3 = 59, D4 = 62, E4 = 64;

struct Note {
  double start;   // seconds
  double length;  // seconds until the string is damped
  int midi;
  double level;       // 0..1
  double ringTime;    // seconds for the string to fall by 60 dB while held
  double brightness;  // 0..1: how much of the pick's noise burst stays bright
};

// One plucked string: a delay line of one period filled with a noise burst and
// fed back through a two-point average (the string's loss at high frequencies).
void Pluck(const Note& note, int rate, DitherRandom& random, std::vector<double>& mix) {
  const double period = static_cast<double>(rate) / Pitch(note.midi);
  const auto length = static_cast<std::size_t>(std::max(2.0, std::round(period)));
  std::vector<double> line(length);
  double smoothed = 0.0;
  const double pole = 1.0 - note.brightness;
  for (double& v : line) {
    const double noise = static_cast<double>(random.UniformBelow(2001)) / 1000.0 - 1.0;
    smoothed = pole * smoothed + (1.0 - pole) * noise;
    v = smoothed;
  }
  // Per-period loss for the wanted ring time, and a fast one once the note is damped.
  const auto lossFor = [&](double seconds) {
    return std::pow(10.0, -3.0 * static_cast<double>(length) / (seconds * rate));
  };
  const double heldLoss = lossFor(note.ringTime);
  const double dampedLoss = lossFor(0.04);
  const auto first = static_cast<std::size_t>(note.start * rate);
  const auto release = first + static_cast<std::size_t>(note.length * rate);
  const auto last = std::min(mix.size(), release + static_cast<std::size_t>(0.2 * rate));
  std::size_t at = 0;
  for (std::size_t i = first; i < last; ++i) {
    const std::size_t next = at + 1 == length ? 0 : at + 1;
    const double loss = i < release ? heldLoss : dampedLoss;
    const double out = line[at];
    line[at] = loss * 0.5 * (line[at] + line[next]);
    mix[i] += note.level * out;
    at = next;
  }
}

// A chord strummed down, lowest string first.
void Chord(std::vector<Note>& notes, double start, double length, std::initializer_list<int> strings,
           double ringTime, double brightness) {
  double offset = 0.0;
  for (const int midi : strings) {
    notes.push_back({start + offset, length - offset, midi, 0.32, ringTime, brightness});
    offset += kStrumDelay;
  }
}

std::vector<Note> Riff() {
  std::vector<Note> notes;
  double t = 0.0;
  const auto chug = [&](std::initializer_list<int> strings) {
    Chord(notes, t, kEighth * 0.9, strings, 0.25, 0.35);  // palm-muted eighth
    t += kEighth;
  };
  // Bars 1 and 2: the boogie figure on E and on A.
  for (int repeat = 0; repeat < 2; ++repeat) {
    chug({E2, B2});
    chug({E2, B2});
    chug({E2, Cs3});
    chug({E2, Cs3});
  }
  for (int repeat = 0; repeat < 2; ++repeat) {
    chug({A2, E3});
    chug({A2, E3});
    chug({A2, Fs3});
    chug({A2, Fs3});
  }
  // Bar 3: a single-note run up the E minor pentatonic scale with a passing note.
  for (const int midi : {E3, G3, A3, As3, B3, D4}) {
    notes.push_back({t, kEighth * 0.95, midi, 0.6, 1.2, 0.8});
    t += kEighth;
  }
  notes.push_back({t, kBeat * 0.95, E4, 0.6, 1.5, 0.8});
  t += kBeat;
  // Bar 4: open power chords G5 and A5, then E5 left to ring.
  Chord(notes, t, kBeat * 0.95, {G2, D3, G3}, 2.0, 0.75);
  t += kBeat;
  Chord(notes, t, kBeat * 0.95, {A2, E3, A3}, 2.0, 0.75);
  t += kBeat;
  Chord(notes, t, kBeat * 3.5, {E2, B2, E3}, 3.0, 0.75);
  return notes;
}

}  // namespace

std::vector<std::int16_t> SynthesiseRiff(int sampleRate) {
  const std::vector<Note> notes = Riff();
  double end = 0.0;
  for (const Note& note : notes) end = std::max(end, note.start + note.length);
  std::vector<double> mix(static_cast<std::size_t>((end + 0.25) * sampleRate), 0.0);

  DitherRandom random(20260101u);
  for (const Note& note : notes) Pluck(note, sampleRate, random, mix);

  double peak = 0.0;
  for (const double v : mix) peak = std::max(peak, std::abs(v));
  const double scale = peak > 0.0 ? 16000.0 / peak : 0.0;
  std::vector<std::int16_t> samples;
  samples.reserve(mix.size());
  for (const double v : mix) samples.push_back(static_cast<std::int16_t>(std::lround(v * scale)));
  return samples;
}

}  // namespace fw
