#pragma once
// The two second-order sections every filter bank of the reference model is built
// from, written straight from their definitions: designs in double, coefficients
// and state in float, one float operation at a time.

namespace model {

// The high-pass section of the FVC stages: a double zero at 0 Hz.
struct HighPassSection {
  float a0 = 0.0f, a1 = 0.0f, a2 = 0.0f;
  float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;

  // Cut-off fc and damping q in Hz and plain numbers, design rate fs.
  void Design(float fc, float q, float fs);
  float Step(float x);
};

// The band-pass section of the graphic equalisers and the tube banks.
struct BandPassSection {
  float A = 0.0f, B = 0.0f, E = 0.0f;
  float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;

  // Centre f and width w in Hz, design rate fs.
  void Design(double f, double w, double fs);
  float Step(float x);
};

}  // namespace model
