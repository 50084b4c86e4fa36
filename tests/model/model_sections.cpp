#include "model/model_sections.h"

#include <cmath>
#include <numbers>

namespace model {

namespace {
constexpr double kHighPassPi = 3.141592653589;  // the value the high-pass design is written with
}

void HighPassSection::Design(float fc, float q, float fs) {
  const double t = std::tan(kHighPassPi * static_cast<double>(fc) / static_cast<double>(fs));
  const double qd = static_cast<double>(q);
  a0 = static_cast<float>(t * t + qd * t + 1.0);
  a1 = static_cast<float>(t * t - 2.0);
  a2 = static_cast<float>(t * t - qd * t + 1.0);
}

float HighPassSection::Step(float x) {
  const float twoX1 = 2.0f * x1;
  float num = x - twoX1;
  num = num + x2;
  const float fb1 = a1 * y1;
  const float fb2 = a2 * y2;
  const float fb = fb1 + fb2;
  num = num - fb;
  const float y = num / a0;
  x2 = x1;
  x1 = x;
  y2 = y1;
  y1 = y;
  return y;
}

void BandPassSection::Design(double f, double w, double fs) {
  constexpr double pi = std::numbers::pi;
  const double flo = (f - 0.5 * w) / fs;
  const double fhi = (f + 0.5 * w) / fs;
  const double K = std::cos(pi * (fhi - flo)) / std::sin(pi * (fhi - flo));
  const double D = std::cos(pi * (fhi + flo)) / std::cos(pi * (fhi - flo));
  A = static_cast<float>(K + 1.0);
  B = static_cast<float>(-2.0 * D * K);
  E = static_cast<float>(K - 1.0);
}

float BandPassSection::Step(float x) {
  float num = x - x2;
  const float by1 = B * y1;
  num = num - by1;
  const float ey2 = E * y2;
  num = num - ey2;
  const float y = num / A;
  x2 = x1;
  x1 = x;
  y2 = y1;
  y1 = y;
  return y;
}

}  // namespace model
