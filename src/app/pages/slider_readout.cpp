#include "app/pages/slider_readout.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

#include "app/form1.h"

namespace fw {
namespace {

std::string Printed(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string DecibelsText(double factor) {
  if (factor <= 0.0) return "off";
  const double decibels = 20.0 * std::log10(factor);
  // No "-0.0 dB" for a factor a rounding below 1.
  return Printed("%+.1f dB", std::abs(decibels) < 0.05 ? 0.0 : decibels);
}

std::string HertzText(double hertz) {
  if (std::isinf(hertz)) return "open";
  if (hertz < 10.0) return Printed("%.2f Hz", hertz);
  if (hertz < 100.0 && hertz != std::floor(hertz)) return Printed("%.1f Hz", hertz);
  return Printed("%.0f Hz", hertz);
}

}  // namespace

std::string MillisecondsText(double milliseconds) {
  return Printed(milliseconds < 100.0 ? "%.1f ms" : "%.0f ms", milliseconds);
}

double SamplesToMs(double samples, int sampleRate) { return samples * 1000.0 / sampleRate; }

namespace {

// The frequency of cos(w) = c, infinite where no frequency up to half the rate has it.
double HertzOfCosine(double c, int sampleRate) {
  if (!(c >= -1.0 && c <= 1.0)) return std::numeric_limits<double>::infinity();
  return std::acos(c) * sampleRate / (2.0 * std::numbers::pi);
}

}  // namespace

// |H|^2 = a^2 / (1 - 2b cos w + b^2) with b = 1 - a, set to one half.
double OnePoleLowPassCornerHz(double coefficient, int sampleRate) {
  if (coefficient >= 1.0) return std::numeric_limits<double>::infinity();
  const double a = coefficient;
  const double b = 1.0 - a;
  return HertzOfCosine((1.0 + b * b - 2.0 * a * a) / (2.0 * b), sampleRate);
}

// Each section: |H|^2 = b^2 (2 - 2 cos w) / (1 - 2b cos w + b^2), set to a half of
// the whole between them.
double OnePoleHighPassCornerHz(double coefficient, int sampleRate, int sections) {
  const double b = 1.0 - coefficient;
  const double g = std::pow(0.5, 1.0 / sections);
  return HertzOfCosine((g * (1.0 + b * b) - 2.0 * b * b) / (2.0 * b * (g - b)), sampleRate);
}

std::string ReadoutText(const SliderReadout& readout, int position, int sampleRate) {
  if (readout.unit == ReadoutUnit::Position || readout.value == nullptr) return std::to_string(position);
  const double value = readout.value(position, sampleRate);
  switch (readout.unit) {
    case ReadoutUnit::Decibels:
      return DecibelsText(value);
    case ReadoutUnit::Hertz:
      return HertzText(value);
    case ReadoutUnit::Milliseconds:
      return MillisecondsText(value);
    case ReadoutUnit::Number:
    case ReadoutUnit::Position:
      break;
  }
  return Printed("%.2f", value);
}

void RefreshReadouts(const TForm1& form) {
  for (const ui::Control* control : form.Controls()) {
    if (const auto* bar = dynamic_cast<const ui::ScrollBar*>(control)) bar->ReadoutChanged();
  }
}

void AttachReadout(TForm1& form, ui::ScrollBar& bar, SliderReadout readout) {
  bar.SetReadout([&form, readout](int position) {
    return ReadoutText(readout, position, form.engine.params.EngineSampleRate.load());
  });
}

}  // namespace fw
