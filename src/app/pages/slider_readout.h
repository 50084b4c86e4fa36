#pragma once
// What a slider's position means to the player: the quantity the chain makes of it,
// in its unit ("250 Hz", "-6.0 dB", "47.2 ms"), as the window's readouts and
// `fretwerk-cli controls` show it. Each page gives its bars a readout built from the
// same functions its handlers store into the engine.
#include <string>

namespace fw {

class TForm1;
namespace ui {
class ScrollBar;
}

enum class ReadoutUnit { Position, Number, Decibels, Hertz, Milliseconds };

struct SliderReadout {
  ReadoutUnit unit = ReadoutUnit::Position;
  // The quantity at a position and engine sample rate: the gain factor for Decibels
  // (0 reads "off"), hertz (infinite reads "open"), milliseconds or a plain number.
  double (*value)(int position, int sampleRate) = nullptr;
};

inline constexpr SliderReadout kShowsPosition{};

std::string ReadoutText(const SliderReadout& readout, int position, int sampleRate);
// The bar reads its positions through `readout` at the engine's rate of the moment.
void AttachReadout(TForm1& form, ui::ScrollBar& bar, SliderReadout readout);
// After a change of the engine rate: every bar's views read it again.
void RefreshReadouts(const TForm1& form);

std::string MillisecondsText(double milliseconds);  // "5.8 ms", "1179 ms"
double SamplesToMs(double samples, int sampleRate);
// Where the one-pole smoother low = low + (x - low) × coefficient is 3 dB down, and
// where `sections` equal high-passes x - low in series are; infinite where the
// smoother passes every frequency (a coefficient of 1).
double OnePoleLowPassCornerHz(double coefficient, int sampleRate);
double OnePoleHighPassCornerHz(double coefficient, int sampleRate, int sections);

}  // namespace fw
