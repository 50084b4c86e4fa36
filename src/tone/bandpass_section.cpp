#include "tone/bandpass_section.h"

#include <cmath>
#include <numbers>

namespace fw {

BandpassCoefficients DesignBandpass(double f, double w, double fs) noexcept {
  const double flo = (f - 0.5 * w) / fs;
  const double fhi = (f + 0.5 * w) / fs;
  const double pi = std::numbers::pi;
  const double K = std::cos(pi * (fhi - flo)) / std::sin(pi * (fhi - flo));
  const double D = std::cos(pi * (fhi + flo)) / std::cos(pi * (fhi - flo));
  return {static_cast<float>(K + 1.0), static_cast<float>(-2.0 * D * K), static_cast<float>(K - 1.0)};
}

}  // namespace fw
