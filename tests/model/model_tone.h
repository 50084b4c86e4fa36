#pragma once
// Reference tone-shaping stages: tone filters, distortions, elliptic filter,
// graphic equalisers and tube banks. Each works in place on buf[0 .. n-1].
#include <array>
#include <cstdint>

#include "model/model_sections.h"

namespace model {

// ---- tone filters -------------------------------------------------------

struct FvcStage {
  HighPassSection section;
  float cutoff = 0.0f;
  float damping = 0.0f;
  float gain = 1.0f;  // Fvc1Gain, Fvc3Gain; Fvc2Mix for the FVC2 stage
  void Design(float designRate) { section.Design(cutoff, damping, designRate); }
};

void Fvc1Filter(FvcStage& s, float* work, float* side, int n);
void Fvc3Filter(FvcStage& s, float* work, int n);
void Fvc2Stage(FvcStage& s, float* work, int n);
void FixedSection(HighPassSection& s, float* work, int n);

struct OnePole {
  float state = 0.0f;
};
void FixedHighPass(OnePole& p, float gain, float* work, int n);
void HiPreSectionA(OnePole& l, float alpha, float* work, int n);
void HiPreSectionB(OnePole& l, float alpha, float gain, float* work, int n);
void LowPass2(OnePole& l, float beta, float* work, int n);

// ---- distortions --------------------------------------------------------

struct SoftDistortion {
  std::array<float, 501> history{};
  int W = 0, R1 = 0, RM = 0, RO = 0;
  float envelope = 0.0f;
  bool armed = false;
  int32_t divisor = 15;      // L
  float sharpness = 1.0e7f;  // B
  float exponent = 1.75f;    // P
  float level = 1.0f;
  // The chain's LiveInputFactor and InputGain, read per call.
  void Process(float* work, int n, float liveInputFactor, float inputGain);
};

struct ShaperParams {
  int32_t kneeIn = 1000;    // a
  int32_t kneeOut = 10000;  // b
  float smooth = 0.1f;      // k
  float level = 0.49f;      // e
  float drive = 1.0f;       // G
};
void WaveshaperDistortion(int32_t a, int32_t b, int n, float k, float e, float drive, float* work);

// ---- elliptic filter ----------------------------------------------------

struct Elliptic {
  int order = 0;
  std::array<float, 101> b{}, a{}, X{}, Y{};
  void Select(int index);
  void Process(float* work, int n);
};

// ---- graphic equalisers ---------------------------------------------------

struct Equaliser {
  std::array<BandPassSection, 9> bands;
  std::array<float, 9> gain{};
  float outputGain = 0.0f;
  void Design(float fs);
  void SetBandGain(int band, int v);  // v = 101 - slider position
  void SetOutputGain(int v);
  void Process(float* buf, int n);
};
double SliderLaw(int v);  // m(v)

// ---- tube stages ----------------------------------------------------------

struct TubeBanks {
  // fold-back bank
  int32_t cascade = 0;
  float threshold = 200.0f;
  float widthFactor = 0.0f;
  float lowWeight = 0.0f;
  std::array<float, 16> centre{}, width{};
  std::array<BandPassSection, 16> first, second;
  // voicing bank
  std::array<BandPassSection, 9> voice;
  float voiceLowGain = 0.0f, voiceBand6Gain = 0.0f, voiceOutputGain = 0.0f;

  void DesignVoiceBank(float lowGain, float outputGain, float fs);
  void DesignFoldBank(int32_t cascadeFlag, float band6Gain, float lowBandWeight, float widthFactorValue,
                      float fs);
  void FoldBank(float* buf, int n);
  void VoiceBank(float* buf, int n);
};

// The band layout shared by the equalisers and the voicing bank.
inline constexpr double kBandCentre[9] = {62, 125, 250, 425, 850, 1700, 3400, 5500, 8000};
inline constexpr double kBandWidth[9] = {40, 100, 200, 400, 800, 1200, 2000, 4000, 3500};

}  // namespace model
