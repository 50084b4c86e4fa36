#include "model/model_tone.h"

#include <cmath>

namespace model {

// ---- tone filters -------------------------------------------------------

void Fvc1Filter(FvcStage& s, float* work, float* side, int n) {
  for (int i = 0; i < n; ++i) {
    const float x = work[i];
    const float y = s.section.Step(x);
    const float removed = y - x;
    side[i] = removed * s.gain;
    work[i] = y * s.gain;
  }
}

void Fvc3Filter(FvcStage& s, float* work, int n) {
  for (int i = 0; i < n; ++i) {
    const float y = s.section.Step(work[i]);
    work[i] = y * s.gain;
  }
}

void Fvc2Stage(FvcStage& s, float* work, int n) {
  for (int i = 0; i < n; ++i) {
    const float x = work[i];
    const float y = s.section.Step(x);
    const float added = y * s.gain;
    work[i] = x + added;
  }
}

void FixedSection(HighPassSection& s, float* work, int n) {
  for (int i = 0; i < n; ++i) work[i] = s.Step(work[i]);
}

void FixedHighPass(OnePole& p, float gain, float* work, int n) {
  for (int i = 0; i < n; ++i) {
    const float x = work[i];
    const float d = p.state - x;
    p.state = x;
    work[i] = d * gain;
  }
}

void HiPreSectionA(OnePole& l, float alpha, float* work, int n) {
  for (int i = 0; i < n; ++i) {
    const float x = work[i];
    const float step = (x - l.state) * alpha;
    l.state = l.state + step;
    work[i] = x - l.state;
  }
}

void HiPreSectionB(OnePole& l, float alpha, float gain, float* work, int n) {
  for (int i = 0; i < n; ++i) {
    const float x = work[i];
    const float step = (x - l.state) * alpha;
    l.state = l.state + step;
    const float high = x - l.state;
    work[i] = high * gain;
  }
}

void LowPass2(OnePole& l, float beta, float* work, int n) {
  for (int i = 0; i < n; ++i) {
    const float x = work[i];
    const float step = (x - l.state) * beta;
    l.state = l.state + step;
    work[i] = l.state;
  }
}

// ---- distortions --------------------------------------------------------

namespace {
int Advance(int p) { return p + 1 == 501 ? 0 : p + 1; }
}  // namespace

void SoftDistortion::Process(float* work, int n, float liveInputFactor, float inputGain) {
  if (!armed) {
    W = R1 = 398;
    RM = 396;
    RO = 393;
    envelope = 0.0f;
    divisor = 15;
    sharpness = 1.0e7f;
    armed = true;
  }
  if (envelope < 50.0f) envelope = 50.0f;
  for (int i = 0; i < n; ++i) {
    W = Advance(W);
    R1 = Advance(R1);
    RM = Advance(RM);
    RO = Advance(RO);
    float s = work[i];
    if (liveInputFactor < 0.5f) s = work[i] * inputGain;
    history[static_cast<size_t>(W)] = s;
    envelope = envelope + std::fabs(history[static_cast<size_t>(R1)]);
    envelope = envelope - std::fabs(history[static_cast<size_t>(RO)]);
    if (envelope < 50.0f) envelope = 50.0f;
    const float L = static_cast<float>(divisor);
    const float avg = envelope / L;
    const float d = history[static_cast<size_t>(RM)];
    float g;
    if (divisor > 1) {
      const float num = std::pow(avg, exponent) + sharpness;
      const float sq = avg * avg;
      const float den = sq + sharpness;
      g = num / den;
    } else {
      const float num = std::pow(std::fabs(d), exponent) + sharpness;
      const float sq = d * d;
      const float den = sq + sharpness;
      g = num / den;
    }
    const float scaled = level * d;
    work[i] = scaled * g;
  }
}

namespace {
constexpr float kPiFloat = 3.14159265358979f;

struct ShaperCurve {
  float a, k, s1, s2, c2;
  float Blend(float u) const {
    const float offsetU = u - a;
    const float arg = k * offsetU;
    const float angle = std::atan(arg);
    return 0.5f + angle / kPiFloat;
  }
  float Line(float u, float w) const {
    const float ds = s1 - s2;
    const float dsw = ds * w;
    const float slope = s1 - dsw;
    const float lin = slope * u;
    const float off = c2 * w;
    return lin + off;
  }
};
}  // namespace

void WaveshaperDistortion(int32_t a, int32_t b, int n, float k, float e, float drive, float* work) {
  ShaperCurve c{};
  c.a = static_cast<float>(a);
  c.k = k;
  c.s1 = static_cast<float>(b) / static_cast<float>(a);
  c.s2 = static_cast<float>(32767 - b) / static_cast<float>(32767 - a);
  const float prod = static_cast<float>(32767 - b) * static_cast<float>(a);
  const float quot = prod / static_cast<float>(32767 - a);
  c.c2 = static_cast<float>(b) - quot;

  const float top = c.Line(32767.0f, c.Blend(32768.0f));
  const float bottom = c.Line(0.0f, c.Blend(0.0f));
  const float eFull = e * 32767.0f;
  const float scale = eFull / (top - bottom);
  const float offset = bottom * scale;

  for (int i = 0; i < n; ++i) {
    const float x = work[i];
    if (x >= 0.0f) {
      const float u = x * drive;
      const float f = c.Line(u, c.Blend(u));
      const float scaled = f * scale;
      work[i] = scaled - offset;
    } else {
      const float u = -x * drive;
      const float f = c.Line(u, c.Blend(u));
      const float scaled = f * scale;
      work[i] = -(scaled - offset);
    }
  }
}

// ---- elliptic filter ----------------------------------------------------

namespace {
struct EllipticSet {
  int order;
  float b[7];
  float a[7];
};
// a[0] is 1 and unused.
constexpr EllipticSet kEllipticSets[5] = {
    {5,
     {0.0143682081f, -0.0358685292f, 0.0223326571f, 0.0223326571f, -0.0358685292f, 0.0143682081f, 0.0f},
     {1.0f, -4.42166615f, 8.00011253f, -7.38538313f, 3.47438931f, -0.665787816f, 0.0f}},
    {5,
     {0.00338414684f, -0.00540448073f, 0.00346096698f, 0.00346096698f, -0.00540448073f, 0.00338414684f, 0.0f},
     {1.0f, -4.24667358f, 7.45067358f, -6.72650528f, 3.11906195f, -0.593675613f, 0.0f}},
    {6,
     {0.0310364235f, -0.0823611915f, 0.143123731f, -0.158777654f, 0.143123731f, -0.0823611915f,
      0.0310364235f},
     {1.0f, -4.31951094f, 8.49518204f, -9.50987434f, 6.35477877f, -2.39288378f, 0.397853255f}},
    {5,
     {0.0387666002f, 0.00326728076f, 0.0462485254f, 0.0462485254f, 0.00326728076f, 0.0387666002f, 0.0f},
     {1.0f, -2.76230574f, 3.98811817f, -3.26065326f, 1.54104555f, -0.329639971f, 0.0f}},
    {6,
     {0.109112576f, 0.305930912f, 0.567339718f, 0.666931808f, 0.567339718f, 0.305930912f, 0.109112576f},
     {1.0f, -0.266955256f, 1.80239093f, -0.609939992f, 1.0024761f, -0.302598804f, 0.162263185f}},
};
}  // namespace

void Elliptic::Select(int index) {
  if (index >= 0 && index <= 4) {
    const EllipticSet& set = kEllipticSets[index];
    order = set.order;
    for (int k = 0; k <= order; ++k) {
      b[static_cast<size_t>(k)] = set.b[k];
      a[static_cast<size_t>(k)] = set.a[k];
    }
  }
  for (int k = 0; k <= order; ++k) {
    X[static_cast<size_t>(k)] = 0.0f;
    Y[static_cast<size_t>(k)] = 0.0f;
  }
}

void Elliptic::Process(float* work, int n) {
  const auto N = static_cast<size_t>(order);
  for (int i = 0; i < n; ++i) {
    X[N] = work[i];
    float s = 0.0f;
    for (size_t k = 0; k <= N; ++k) {
      const float p = b[k] * X[N - k];
      s = s + p;
    }
    for (size_t j = 0; j < N; ++j) X[j] = X[j + 1];
    float t = 0.0f;
    for (size_t k = 1; k <= N; ++k) {
      const float p = a[k] * Y[N - k];
      t = t + p;
    }
    const float y = s - t;
    Y[N] = y;
    work[i] = y;
    for (size_t j = 0; j < N; ++j) Y[j] = Y[j + 1];
  }
}

// ---- graphic equalisers ---------------------------------------------------

double SliderLaw(int v) {
  if (v >= 50) return static_cast<double>(v - 50) / 5.0 + 1.0;
  return 1.0 / (static_cast<double>(50 - v) / 5.0 + 1.0);
}

void Equaliser::Design(float fs) {
  for (float& g : gain) g = 10.0f;
  outputGain = 0.1f;
  for (size_t j = 0; j < 9; ++j) bands[j].Design(kBandCentre[j], kBandWidth[j], static_cast<double>(fs));
}

void Equaliser::SetBandGain(int band, int v) {
  gain[static_cast<size_t>(band)] = static_cast<float>(10.0 * SliderLaw(v));
}

void Equaliser::SetOutputGain(int v) { outputGain = static_cast<float>(0.1 * SliderLaw(v)); }

void Equaliser::Process(float* buf, int n) {
  for (int i = 0; i < n; ++i) {
    const float x = buf[i];
    double s = 0.0;
    for (size_t j = 0; j < 9; ++j) {
      const float y = bands[j].Step(x);
      const float weighted = y * gain[j];
      s = s + static_cast<double>(weighted);
    }
    buf[i] = static_cast<float>(s * static_cast<double>(outputGain));
  }
}

// ---- tube stages ----------------------------------------------------------

void TubeBanks::DesignVoiceBank(float lowGain, float outputGain, float fs) {
  voiceLowGain = lowGain;
  voiceOutputGain = outputGain;
  for (size_t j = 0; j < 9; ++j) voice[j].Design(kBandCentre[j], kBandWidth[j], static_cast<double>(fs));
}

void TubeBanks::DesignFoldBank(int32_t cascadeFlag, float band6Gain, float lowBandWeight,
                               float widthFactorValue, float fs) {
  cascade = cascadeFlag;
  voiceBand6Gain = band6Gain;
  lowWeight = lowBandWeight;
  widthFactor = widthFactorValue;
  double previous = 31.25;
  for (size_t i = 0; i < 16; ++i) {
    centre[i] = static_cast<float>(previous * std::sqrt(2.0));
    previous = static_cast<double>(centre[i]);
    const double factor = i < 15 ? static_cast<double>(widthFactor) : 0.3;
    width[i] = static_cast<float>(static_cast<double>(centre[i]) * factor);
    first[i].Design(static_cast<double>(centre[i]), static_cast<double>(width[i]), static_cast<double>(fs));
    second[i].A = first[i].A;
    second[i].B = first[i].B;
    second[i].E = first[i].E;
  }
}

void TubeBanks::FoldBank(float* buf, int n) {
  const float thr = threshold;
  const float l = threshold / 16000.0f;
  const float halfL = 0.5f * l;
  for (int i = 0; i < n; ++i) {
    const float x = buf[i];
    double s = 0.0;
    for (size_t b = 0; b < 16; ++b) {
      const float u = cascade == 1 ? first[b].Step(x) : x;
      float v = second[b].Step(u);
      if (v >= 16000.0f) {
        v = halfL * (v - 16000.0f);
      } else if (v >= thr) {
        v = thr - l * v;
      }
      if (v < -16000.0f) {
        v = halfL * (v + 16000.0f);
      } else if (v < -thr) {
        v = -thr - l * v;
      }
      if (b >= 1 && b <= 6) v = v * lowWeight;
      s = s + static_cast<double>(v);
    }
    buf[i] = static_cast<float>(s);
  }
}

void TubeBanks::VoiceBank(float* buf, int n) {
  for (int i = 0; i < n; ++i) {
    const float x = buf[i];
    double s = 0.0;
    for (size_t b = 0; b < 9; ++b) {
      float y = voice[b].Step(x);
      if (b == 6) y = y * voiceBand6Gain;
      if (b == 1 || b == 2) y = y * voiceLowGain;
      s = s + static_cast<double>(y);
    }
    buf[i] = static_cast<float>(s * static_cast<double>(voiceOutputGain));
  }
}

}  // namespace model
