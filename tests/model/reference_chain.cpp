#include "model/reference_chain.h"

#include <cmath>
#include <cstdlib>

namespace model {

// ---- dither generator ---------------------------------------------------

uint64_t SplitMixDraw::Next64() {
  state_ += 0x9E3779B97F4A7C15u;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

uint32_t SplitMixDraw::Below(uint32_t bound) {
  // Lemire's bounded draw: the high half of a 32x32 product, rejecting the biased low range.
  const uint32_t threshold = static_cast<uint32_t>(0x100000000u % bound);
  for (;;) {
    const auto r = static_cast<uint32_t>(Next64() >> 32);
    const uint64_t product = static_cast<uint64_t>(r) * bound;
    if (static_cast<uint32_t>(product) >= threshold) return static_cast<uint32_t>(product >> 32);
  }
}

// ---- small helpers ------------------------------------------------------

namespace {

// Saturates far outside the 16-bit range so the conversion stays defined.
int32_t RoundNearest(float v) {
  if (v > 1.0e9f) return 1000000000;
  if (v < -1.0e9f) return -1000000000;
  if (v != v) return 0;
  return static_cast<int32_t>(std::nearbyint(v));
}

float ClampFloat(float v) {
  if (v > 32000.0f) return 32000.0f;
  if (v < -32000.0f) return -32000.0f;
  return v;
}

int16_t ClampRound(float v) { return static_cast<int16_t>(RoundNearest(ClampFloat(v))); }

int32_t ClampInt(int32_t v) { return v > 32000 ? 32000 : (v < -32000 ? -32000 : v); }

}  // namespace

float OutputGainForPosition(int position) {
  const int a = 101 - position;
  const int d = std::abs(a - 50) + 1;
  if (a >= 50) return 1.0f / static_cast<float>(d);
  return static_cast<float>(d);
}

// ---- construction: engine defaults and the tone unit's initialisation ----

ReferenceChain::ReferenceChain(uint64_t seed) : random_(seed) {
  // Flanger read position of the main unit's initialisation; the rest of its
  // fields are the struct's start values.
  flanger.readPos = 1.0f;
  // Tone-shaping unit's initialisation.
  tube.threshold = 200.0f;
  tube.DesignVoiceBank(1.0f, 3.0f, 22050.0f);
  tube.DesignFoldBank(1, 3.0f, 1.0f, 0.95f, 22050.0f);
  preEq.Design(22050.0f);
  postEq.Design(22050.0f);
  // FVC stage start values.
  fvc1.damping = 1.41f;
  fvc2.damping = 1.41f;
  fvc3.damping = 1.41f;
  fvc3.cutoff = 100.0f;
  AddControls();
}

void ReferenceChain::Activate(const std::vector<uint8_t>* clearPre) {
  // 4. no ring-0 drivers: the sound card group goes to "Any (SB Live, etc.)"
  controls_.Set("RadioGroup_NameOfSC", 2);
  // 5. engine values
  p.reverbOn = 0;
  p.cardType = 0;
  p.outputGain = 1.0f;
  p.inputGain = 1.0f;
  // 6. flanger reset and the echo's sweep state
  p.flangerOn = 1;
  flanger.Reset();
  echo.m = 0;
  echo.counter = 0;
  echo.direction = 1;
  echo.sweepOn = 0;
  // 7. echo defaults, then its four sliders
  p.echoDelay = 3000;
  echo.decay = 0.5f;
  echo.gain = 0.33f;
  echo.level = 0.0f;
  p.echoOn = 0;
  controls_.Set("ScrollBar_Delay_Time", 25);
  controls_.Set("ScrollBar_Delay_Decay", 40);
  controls_.Set("ScrollBar_Delay_Gain", 60);
  controls_.Set("ScrollBar_Delay_I_Gain", 45);
  // 8. reverb
  reverb.positions = {0, 0, 0, 0};
  p.reverbAllPassGain = 0.26f;
  // 10. first designs and the dither table
  fvc1.cutoff = 12500.0f;
  fvc1.damping = 1.41f;
  p.filterDesignRate = 44100.0f;
  fvc1.gain = 1.0f;
  fvc1.Design(p.filterDesignRate);
  fvc3.cutoff = 100.0f;
  fvc3.damping = 1.41f;
  fvc3.gain = 1.0f;
  fvc3.Design(p.filterDesignRate);
  p.filterDesignRate = 22050.0f;
  fvc2.cutoff = 150.0f;
  fvc2.damping = 1.41f;
  fvc2.Design(p.filterDesignRate);
  for (size_t k = 0; k < dither.size(); ++k) {
    const int32_t r = static_cast<int32_t>(random_.Below(500));
    const int32_t s = r - 250;
    const float y = fvc1.section.Step(static_cast<float>(s));
    dither[k] = static_cast<int16_t>(RoundNearest(y));
  }
  fixedSection.Design(50.0f, 1.41f, p.filterDesignRate);
  soft.exponent = 1.75f;
  // 11.
  elliptic.Select(0);
  soft.level = 1.0f;
  p.hiPreGain = 1.0f;
  p.hiPreOn = 0;
  p.softDistortionOn = 0.0f;
  p.distortionType = 0;
  shaper.drive = 1.0f;
  // 12. second designs
  fvc1.cutoff = 500.0f;
  fvc1.damping = 1.41f;
  p.filterDesignRate = 22050.0f;
  fvc1.gain = 1.0f;
  fvc1.Design(p.filterDesignRate);
  fvc3.Design(p.filterDesignRate);
  soft.armed = false;
  p.hiPreCoefficient = 0.16666667f;
  p.lowPass2Coefficient = 1.0f;
  // 15. controls
  controls_.Set("RadioGroup_OUT_MONO_", 0);
  controls_.Set("RadioGroup_elipsF", 3);
  controls_.Set("ScrollBar_Reverb_G_2", 1);
  controls_.Set("ScrollBar_Rever_FNC_2", 70);
  controls_.Set("ScrollBar_Rever_Dec2", 75);
  controls_.Set("Pre_FVC1_OnOff", 1);
  controls_.Set("ScrollBar_FVC1", 3);
  controls_.Set("ScrollBar_Koeff_FVC2", 5);
  controls_.Set("RadioGroup_NameOfSC", 2);
  // 16. default preset
  p.tubeOn = 0;
  if (clearPre == nullptr) return;  // the load fails: the sequence ends here
  LoadPresetRecord(*clearPre);
  TubeDesignSequence(1.0f, 3.0f, 0.5f);
  p.tubeOn = 1;
}

void ReferenceChain::TubeDesignSequence(float pv, float qv, float rv) {
  const auto fs = static_cast<float>(p.engineSampleRate);
  tube.DesignVoiceBank(pv, 3.0f, fs);
  tube.DesignFoldBank(0, 3.0f, qv, rv, fs);
  preEq.Design(fs);
  postEq.Design(fs);
}

namespace {
enum class Kind { Bar, Box };
struct StoredControl {
  const char* name;
  int offset;
  Kind kind;
};
// The stored controls in the order the preset load applies them.
constexpr StoredControl kStoredControls[] = {
    {"ScrollBar7", 100, Kind::Bar},
    {"ScrollBar8", 104, Kind::Bar},
    {"ScrollB_SoftDGain", 108, Kind::Bar},
    {"CheckBox_SoftDOnOff", 96, Kind::Box},
    {"RadioGroup_HDistort", 112, Kind::Bar},
    {"ScrollBar_HD_In_Gain", 116, Kind::Bar},
    {"Pre_FVC1_OnOff", 120, Kind::Box},
    {"ScrollBar_FVC1", 124, Kind::Bar},
    {"HiPassFilterFixed", 128, Kind::Box},
    {"ScrollBarGainHiF", 132, Kind::Bar},
    {"CheckBox_OnOff_HiPre", 136, Kind::Box},
    {"ScrollBar_cutoff_hi_preEq", 140, Kind::Bar},
    {"ScrollBar_GainHiPreEq", 144, Kind::Bar},
    {"ScrollBar_FVC3", 148, Kind::Bar},
    {"ScrollBar_Gain_FVC3", 152, Kind::Bar},
    {"CheckBox_FVC2", 156, Kind::Box},
    {"ScrollBar_FVC2", 160, Kind::Bar},
    {"CheckBox_lpf_2", 164, Kind::Box},
    {"ScrollBar9", 168, Kind::Bar},
    {"ScrollBar_Koeff_FVC2", 172, Kind::Bar},
    {"RadioGroup_elipsF", 176, Kind::Bar},
    {"ScrollBar_Reverb_D_1", 184, Kind::Bar},
    {"ScrollBar_Reverb_G_1", 192, Kind::Bar},
    {"ScrollBar_Reverb_DeC", 200, Kind::Bar},
    {"ScrollBar_Rever_FNC", 208, Kind::Bar},
    {"ScrollBar_Rev_Del_2", 216, Kind::Bar},
    {"ScrollBar_Reverb_G_2", 224, Kind::Bar},
    {"ScrollBar_Rever_Dec2", 232, Kind::Bar},
    {"ScrollBar_Rever_FNC_2", 240, Kind::Bar},
    {"CheckBox_Flanger", 244, Kind::Box},
    {"ScrollBar_Flanger_Gain", 248, Kind::Bar},
    {"ScrollBar_Flanger_Speed", 252, Kind::Bar},
    {"ScrollBar_Flanger_Tone", 256, Kind::Bar},
    {"CheckBox_DelayOn_Off", 260, Kind::Box},
    {"ScrollBar_Delay_Time", 264, Kind::Bar},
    {"ScrollBar_Delay_Decay", 268, Kind::Bar},
    {"ScrollBar_Delay_Gain", 272, Kind::Bar},
    {"ScrollBar_Delay_I_Gain", 276, Kind::Bar},
    {"CheckBox1", 280, Kind::Box},
    {"ScrollBar_OutPut_Volume", 284, Kind::Bar},
    {"CheckBox_DisOldNew", 288, Kind::Box},
    {"ScrollBar_Digital_IN_Gain", 292, Kind::Bar},
    {"ScrollBar_Color_Of_Dist", 296, Kind::Bar},
    {"ScrollBar_HiFreqAmpFreq", 300, Kind::Bar},
    {"ScrollBar_HiFreqGain", 304, Kind::Bar},
    {"CheckBox_ReverbOnOff", 308, Kind::Box},
    {"ScrollBar_D_SMOOT", 312, Kind::Bar},
    {"ScrollBar_D_Gain", 316, Kind::Bar},
    {"ScrollBar_D_Gain_X1", 320, Kind::Bar},
    {"ScrollBar_CShift", 324, Kind::Bar},
    {"ScrollBar_preEQ0", 328, Kind::Bar},
    {"ScrollBar_preEQ1", 332, Kind::Bar},
    {"ScrollBar_preEQ2", 336, Kind::Bar},
    {"ScrollBar_preEQ3", 340, Kind::Bar},
    {"ScrollBar_preEQ4", 344, Kind::Bar},
    {"CheckBox_pre_EQ", 348, Kind::Box},
    {"ScrollBar_preEQ5", 352, Kind::Bar},
    {"ScrollBar_preEQ6", 356, Kind::Bar},
    {"ScrollBar_preEQ7", 360, Kind::Bar},
    {"ScrollBar_preEQ8", 364, Kind::Bar},
    {"ScrollBar_postEQ0", 368, Kind::Bar},
    {"ScrollBar_postEQ1", 372, Kind::Bar},
    {"ScrollBar_postEQ2", 376, Kind::Bar},
    {"ScrollBar_postEQ3", 380, Kind::Bar},
    {"ScrollBar_postEQ4", 384, Kind::Bar},
    {"ScrollBar_postEQ5", 388, Kind::Bar},
    {"ScrollBar_postEQ6", 392, Kind::Bar},
    {"ScrollBar_postEQ7", 396, Kind::Bar},
    {"ScrollBar_postEQ8", 400, Kind::Bar},
    {"CheckBox_post_EQ", 404, Kind::Box},
};

int32_t ReadInt32(const std::array<uint8_t, 416>& r, int offset) {
  const auto o = static_cast<size_t>(offset);
  const uint32_t u = static_cast<uint32_t>(r[o]) | (static_cast<uint32_t>(r[o + 1]) << 8) |
                     (static_cast<uint32_t>(r[o + 2]) << 16) | (static_cast<uint32_t>(r[o + 3]) << 24);
  return static_cast<int32_t>(u);
}
}  // namespace

void ReferenceChain::LoadPresetRecord(const std::vector<uint8_t>& bytes) {
  for (size_t i = 0; i < bytes.size() && i < presetRecord_.size(); ++i) presetRecord_[i] = bytes[i];
  p.tubeOn = ReadInt32(presetRecord_, 408);
  p.tubeVoicing = ReadInt32(presetRecord_, 412);
  if (p.tubeOn != 1) {
    p.tubeOn = 0;
  } else if (p.tubeVoicing == 1) {
    flanger.readPos = 1.0f;
    p.tubeOn = 0;
    TubeDesignSequence(3.0f, 1.0f, 0.95f);
  } else if (p.tubeVoicing == 2) {
    controls_.Set("CheckBox_TypeOfTrash", 0);
    flanger.readPos = 1.0f;
    TubeDesignSequence(1.0f, 3.0f, 0.5f);
  }
  for (const StoredControl& c : kStoredControls) {
    if (c.kind == Kind::Box) {
      controls_.Set(c.name, presetRecord_[static_cast<size_t>(c.offset)] != 0 ? 1 : 0);
    } else {
      controls_.Set(c.name, ReadInt32(presetRecord_, c.offset));
    }
  }
}

bool ReferenceChain::Set(const std::string& name, int value) { return controls_.Set(name, value); }

// ---- control handlers -----------------------------------------------------

void ReferenceChain::LoadShaperType(int type) {
  switch (type) {
    case 1:
      shaper.level = 0.49f;
      shaper.smooth = 0.1f;
      shaper.kneeIn = 1000;
      shaper.kneeOut = 10000;
      break;
    case 2:
      shaper.level = 0.242501f;
      shaper.smooth = 0.0005f;
      shaper.kneeIn = 1000;
      shaper.kneeOut = 30000;
      break;
    case 3:
      shaper.level = 0.117649f;
      shaper.smooth = 0.0028f;
      shaper.kneeIn = 400;
      shaper.kneeOut = 29800;
      break;
    default:
      break;
  }
}

void ReferenceChain::ShaperTypeSync() {
  const double smoothPosition = std::nearbyint(0.2 / static_cast<double>(shaper.smooth));
  controls_.Set("ScrollBar_D_SMOOT", static_cast<int>(std::fmin(smoothPosition, 1.0e6)));
  controls_.Set("ScrollBar_D_Gain", shaper.kneeIn);
  controls_.Set("ScrollBar_D_Gain_X1", shaper.kneeOut);
}

void ReferenceChain::AddControls() {
  ControlTable& c = controls_;
  auto pos = [this](const char* name) { return controls_.Position(name); };
  auto fpos = [this](const char* name) { return static_cast<float>(controls_.Position(name)); };

  // Gains of the chain.
  c.Add("ScrollBar_OutPut_Volume", 1, 100, 20,
        [=, this] { p.outputGain = OutputGainForPosition(pos("ScrollBar_OutPut_Volume")); });
  c.Add("ScrollBar_Digital_IN_Gain", 1, 30, 1, [=, this] {
    if (pos("ScrollBar_del_in") != pos("ScrollBar_Digital_IN_Gain"))
      controls_.Set("ScrollBar_del_in", pos("ScrollBar_Digital_IN_Gain"));
    p.inputGain = fpos("ScrollBar_Digital_IN_Gain");
  });
  c.Add("ScrollBar_del_in", 0, 16, 1, [=, this] {
    if (pos("ScrollBar_Digital_IN_Gain") != pos("ScrollBar_del_in"))
      controls_.Set("ScrollBar_Digital_IN_Gain", pos("ScrollBar_del_in"));
    p.inputGain = pos("ScrollBar_del_in") == 0 ? 0.5f : fpos("ScrollBar_del_in");
  });
  c.Add("CheckBox_Mute_Live_Input", 0, 1, 0,
        [=, this] { p.liveInputFactor = pos("CheckBox_Mute_Live_Input") == 1 ? 0.001f : 1.001f; });
  c.Add("CheckBox_record_clean", 0, 1, 0, [=, this] { p.recordClean = pos("CheckBox_record_clean"); });
  c.Add("CheckBox_wav_via_effects", 0, 1, 0,
        [=, this] { p.wavViaEffects = pos("CheckBox_wav_via_effects"); });
  c.Add("CheckBox_AWE_44_1", 0, 1, 0, [=, this] {
    const bool on = pos("CheckBox_AWE_44_1") == 1;
    p.realtimeBlockLength = on ? 256 : 128;
    p.engineSampleRate = on ? 44100 : 22050;
  });
  c.Add("RadioGroup_NameOfSC", -1, 2, 0, [=, this] {
    p.cardType = pos("RadioGroup_NameOfSC");
    // No ring-0 drivers on this system: the ring-0 card types fall back to item 2.
    if (p.cardType == 0 || p.cardType == 1) controls_.Set("RadioGroup_NameOfSC", 2);
  });
  c.Add("RadioGroup_OUT_MONO_", -1, 1, 0, [] {});

  // Reverb.
  c.Add("CheckBox_ReverbOnOff", 0, 1, 0, [=, this] { p.reverbOn = pos("CheckBox_ReverbOnOff"); });
  c.Add("ScrollBar_Rev_Del_2", 1, 100, 1, [=, this] { p.reverbDelay2 = pos("ScrollBar_Rev_Del_2") * 24; });
  c.Add("ScrollBar_Reverb_G_2", 0, 100, 0, [=, this] {
    float g = 1.0f;
    for (int k = 0; k < pos("ScrollBar_Reverb_G_2"); ++k) g = g * 0.84f;
    p.reverbGain2 = g;
  });
  c.Add("ScrollBar_Rever_Dec2", 5, 99, 25,
        [=, this] { p.reverbAllPassGain = fpos("ScrollBar_Rever_Dec2") / 100.0f; });
  c.Add("ScrollBar_Rever_FNC_2", 1, 100, 1,
        [=, this] { p.reverbBrightness = fpos("ScrollBar_Rever_FNC_2") / 100.0f; });

  // Echo delay.
  c.Add("CheckBox_DelayOn_Off", 0, 1, 0, [=, this] { p.echoOn = pos("CheckBox_DelayOn_Off"); });
  c.Add("ScrollBar_Delay_Time", 1, 100, 1, [=, this] { p.echoDelay = pos("ScrollBar_Delay_Time") * 260; });
  auto taps = [=, this] { echo.ComputeTaps(pos("ScrollBar_Delay_Decay"), pos("ScrollBar_Delay_I_Gain")); };
  c.Add("ScrollBar_Delay_Decay", 1, 99, 5, taps);
  c.Add("ScrollBar_Delay_I_Gain", 1, 100, 1, taps);
  c.Add("ScrollBar_Delay_Gain", 1, 100, 1, [=, this] { echo.gain = fpos("ScrollBar_Delay_Gain") / 100.0f; });
  c.Add("CheckBox1", 0, 1, 0, [=, this] { echo.sweepOn = pos("CheckBox1"); });

  // Flanger.
  c.Add("CheckBox_Flanger", 0, 1, 1, [=, this] {
    if (pos("CheckBox_Flanger") == 1) {
      p.flangerOn = 1;
      flanger.Reset();
    } else {
      p.flangerOn = 0;
    }
  });
  c.Add("ScrollBar_Flanger_Gain", 1, 100, 25,
        [=, this] { flanger.gain = fpos("ScrollBar_Flanger_Gain") / 50.0f; });
  c.Add("ScrollBar_Flanger_Speed", 1, 100, 10,
        [=, this] { flanger.speed = fpos("ScrollBar_Flanger_Speed") * 0.001f; });
  c.Add("ScrollBar_Flanger_Tone", 1, 48, 25,
        [=, this] { flanger.feedback = fpos("ScrollBar_Flanger_Tone") / 50.0f; });

  // Distortions.
  c.Add("CheckBox_SoftDOnOff", 0, 1, 0, [=, this] {
    if (pos("CheckBox_Distortion_OnOff") != pos("CheckBox_SoftDOnOff"))
      controls_.Set("CheckBox_Distortion_OnOff", pos("CheckBox_SoftDOnOff"));
    p.softDistortionOn = pos("CheckBox_SoftDOnOff") == 1 ? 1.0f : 0.0f;
  });
  c.Add("CheckBox_Distortion_OnOff", 0, 1, 0, [=, this] {
    if (pos("CheckBox_SoftDOnOff") != pos("CheckBox_Distortion_OnOff"))
      controls_.Set("CheckBox_SoftDOnOff", pos("CheckBox_Distortion_OnOff"));
    p.softDistortionOn = pos("CheckBox_Distortion_OnOff") == 1 ? 1.0f : 0.0f;
  });
  c.Add("ScrollBar7", 0, 50, 43, [=, this] {
    soft.divisor = 101 - 2 * pos("ScrollBar7");
    soft.envelope = 0.001f;
  });
  c.Add("ScrollBar8", 1, 50, 48,
        [=, this] { soft.sharpness = static_cast<float>(51 - pos("ScrollBar8")) * 1.0e7f; });
  c.Add("ScrollBar_CShift", 0, 100, 75, [=, this] {
    const float frac = static_cast<float>(100 - pos("ScrollBar_CShift")) / 100.0f;
    soft.exponent = frac + 1.0f;
  });
  c.Add("ScrollB_SoftDGain", 1, 100, 10, [=, this] { soft.level = fpos("ScrollB_SoftDGain") / 10.0f; });
  c.Add("RadioGroup_HDistort", -1, 3, 0, [=, this] {
    if (pos("RadioGroup_Dist_Of12") != pos("RadioGroup_HDistort"))
      controls_.Set("RadioGroup_Dist_Of12", pos("RadioGroup_HDistort"));
    p.distortionType = pos("RadioGroup_HDistort");
    LoadShaperType(p.distortionType);
  });
  c.Add("RadioGroup_Dist_Of12", -1, 3, 0, [=, this] {
    if (pos("RadioGroup_HDistort") != pos("RadioGroup_Dist_Of12"))
      controls_.Set("RadioGroup_HDistort", pos("RadioGroup_Dist_Of12"));
    p.distortionType = pos("RadioGroup_Dist_Of12");
    LoadShaperType(p.distortionType);
    ShaperTypeSync();
  });
  c.Add("ScrollBar_HD_In_Gain", 1, 100, 1, [=, this] { shaper.drive = 1.0f / fpos("ScrollBar_HD_In_Gain"); });
  c.Add("ScrollBar_D_Gain_X1", 5000, 30000, 15000,
        [=, this] { shaper.kneeOut = pos("ScrollBar_D_Gain_X1"); });
  c.Add("ScrollBar_D_Gain", 50, 1000, 450, [=, this] { shaper.kneeIn = pos("ScrollBar_D_Gain"); });
  c.Add("ScrollBar_D_SMOOT", 1, 40, 1, [=, this] { shaper.smooth = 0.2f / fpos("ScrollBar_D_SMOOT"); });
  c.Add("CheckBox_DisOldNew", 0, 1, 0, [=, this] { p.lowBoostOn = pos("CheckBox_DisOldNew"); });
  c.Add("ScrollBar_nd_Ampl", 0, 100, 0, [=, this] { p.lowBoostMix = fpos("ScrollBar_nd_Ampl") * 200.0f; });

  // Tone filters.
  c.Add("Pre_FVC1_OnOff", 0, 1, 0, [=, this] { p.fvc1On = pos("Pre_FVC1_OnOff"); });
  auto fvc1Pair = [=, this](const char* self, const char* other) {
    if (pos(other) != pos(self)) controls_.Set(other, pos(self));
    fvc1.damping = 1.41f;
    fvc1.cutoff = fpos(self) * 50.0f;
    fvc1.Design(p.filterDesignRate);
  };
  c.Add("ScrollBar_FVC1", 1, 100, 1, [=] { fvc1Pair("ScrollBar_FVC1", "ScrollBar_Color_Of_Dist"); });
  c.Add("ScrollBar_Color_Of_Dist", 1, 100, 25,
        [=] { fvc1Pair("ScrollBar_Color_Of_Dist", "ScrollBar_FVC1"); });
  c.Add("HiPassFilterFixed", 0, 1, 0, [=, this] { p.hiPassOn = pos("HiPassFilterFixed"); });
  c.Add("ScrollBarGainHiF", 1, 100, 1, [=, this] { p.hiPassGain = fpos("ScrollBarGainHiF"); });
  c.Add("ScrollBar1", 1, 100, 1, [=, this] { p.hiPassGain = fpos("ScrollBar1"); });
  c.Add("CheckBox_OnOff_HiPre", 0, 1, 0, [=, this] { p.hiPreOn = pos("CheckBox_OnOff_HiPre"); });
  c.Add("ScrollBar_cutoff_hi_preEq", 5, 100, 6,
        [=, this] { p.hiPreCoefficient = 1.0f / fpos("ScrollBar_cutoff_hi_preEq"); });
  c.Add("ScrollBar_GainHiPreEq", 1, 30, 1, [=, this] { p.hiPreGain = fpos("ScrollBar_GainHiPreEq"); });
  c.Add("ScrollBar_FVC3", 1, 100, 1, [=, this] {
    fvc3.cutoff = fpos("ScrollBar_FVC3") * 50.0f;
    fvc3.Design(p.filterDesignRate);
  });
  c.Add("ScrollBar_Gain_FVC3", 1, 50, 1, [=, this] { fvc3.gain = fpos("ScrollBar_Gain_FVC3"); });
  c.Add("ScrollBar_Trash_nd_Delay", 1, 10, 1, [=, this] {
    fvc3.damping = 1.41f / fpos("ScrollBar_Trash_nd_Delay");
    fvc3.Design(p.filterDesignRate);
  });
  c.Add("ScrollBar_FVC2", 1, 100, 1, [=, this] {
    fvc2.damping = 1.41f;
    fvc2.cutoff = fpos("ScrollBar_FVC2") * 50.0f;
    fvc2.Design(p.filterDesignRate);
  });
  c.Add("ScrollBar_HiFreqAmpFreq", 1, 100, 5, [=, this] {
    controls_.Set("ScrollBar_FVC2", pos("ScrollBar_HiFreqAmpFreq"));
    fvc2.damping = 1.41f;
    fvc2.cutoff = fpos("ScrollBar_HiFreqAmpFreq") * 50.0f;
    fvc2.Design(p.filterDesignRate);
  });
  c.Add("ScrollBar_Koeff_FVC2", 0, 100, 1, [=, this] { fvc2.gain = fpos("ScrollBar_Koeff_FVC2") / 10.0f; });
  c.Add("ScrollBar_HiFreqGain", 1, 100, 10, [=, this] {
    controls_.Set("ScrollBar_Koeff_FVC2", pos("ScrollBar_HiFreqGain"));
    fvc2.gain = fpos("ScrollBar_HiFreqGain") / 10.0f;
  });
  c.Add("CheckBox_lpf_2", 0, 1, 0, [=, this] { p.lowPass2On = pos("CheckBox_lpf_2"); });
  c.Add("ScrollBar9", 1, 100, 100,
        [=, this] { p.lowPass2Coefficient = 10.0f / static_cast<float>(pos("ScrollBar9") + 9); });

  // Elliptic filter.
  c.Add("RadioGroup_elipsF", -1, 4, 0, [=, this] { elliptic.Select(pos("RadioGroup_elipsF")); });

  // Graphic equalisers.
  c.Add("CheckBox_pre_EQ", 0, 1, 0, [=, this] { p.preEqOn = pos("CheckBox_pre_EQ"); });
  c.Add("CheckBox_post_EQ", 0, 1, 0, [=, this] { p.postEqOn = pos("CheckBox_post_EQ"); });
  for (int k = 0; k <= 8; ++k) {
    const std::string preName = "ScrollBar_preEQ" + std::to_string(k);
    const std::string postName = "ScrollBar_postEQ" + std::to_string(k);
    c.Add(preName, 1, 100, 50, [=, this] {
      const int v = 101 - controls_.Position(preName);
      if (k == 0)
        preEq.SetOutputGain(v);
      else
        preEq.SetBandGain(k, v);
    });
    c.Add(postName, 1, 100, 50, [=, this] {
      const int v = 101 - controls_.Position(postName);
      if (k == 0)
        postEq.SetOutputGain(v);
      else
        postEq.SetBandGain(k, v);
    });
  }

  // Stored or hidden controls that drive no stage.
  c.Add("CheckBox_FVC2", 0, 1, 1, [] {});
  c.Add("CheckBox_TypeOfTrash", 0, 1, 0, [] {});
  c.Add("ScrollBar_Reverb_D_1", 1, 100, 1, [] {});
  c.Add("ScrollBar_Reverb_G_1", 0, 50, 0, [] {});
  c.Add("ScrollBar_Reverb_DeC", 5, 99, 26, [] {});
  c.Add("ScrollBar_Rever_FNC", 1, 100, 1, [] {});

  // Tube stages.
  c.Add("CheckBox_tubetortion_OnOff", 0, 1, 0, [=, this] { p.tubeOn = pos("CheckBox_tubetortion_OnOff"); });
}

// ---- chain pieces -----------------------------------------------------------

void ReferenceChain::Waveshaper(float* buf, int n) {
  WaveshaperDistortion(shaper.kneeIn, shaper.kneeOut, n, shaper.smooth, shaper.level, shaper.drive, buf);
}

void ReferenceChain::WaveshaperWithBoost(int n) {
  float* work = work_.data();
  if (p.lowBoostOn != 1) {
    Waveshaper(work, n);
    return;
  }
  for (int i = 0; i < n; ++i) boostSave_[static_cast<size_t>(i)] = work[i];
  for (int i = 0; i < n; ++i) work[i] = side_[static_cast<size_t>(i)];
  Waveshaper(work, n);
  for (int i = 0; i < n; ++i) side_[static_cast<size_t>(i)] = work[i];
  for (int i = 0; i < n; ++i) work[i] = boostSave_[static_cast<size_t>(i)];
  Waveshaper(work, n);
  for (int i = 0; i < n; ++i) {
    const float mixed = side_[static_cast<size_t>(i)] * p.lowBoostMix;
    const float scaled = mixed * 0.0005f;
    work[i] = scaled + work[i];
  }
}

void ReferenceChain::FileMixIn(int n, int wrap, int firstMark, int secondMark) {
  // No file plays: the file buffer holds zeros, the mix-in and its counter still run.
  float* work = work_.data();
  for (int i = 0; i < n; ++i) {
    const float fileSample = 0.0f * p.wavFileGain;
    work[i] = fileSample + work[i];
  }
  p.fileBlockCounter = p.fileBlockCounter + 1;
  if (p.fileBlockCounter >= wrap) p.fileBlockCounter = 0;
  if (p.fileBlockCounter == firstMark) p.fileRefillRequest = 2;
  if (p.fileBlockCounter == secondMark) p.fileRefillRequest = 1;
}

void ReferenceChain::RunStagesWaveIn(int n) {
  float* work = work_.data();
  if (p.preEqOn == 1) preEq.Process(work, n);
  if (p.hiPassOn == 1) FixedHighPass(fixedHighPass, p.hiPassGain, work, n);
  if (p.hiPreOn == 1) {
    HiPreSectionA(hiPreA, p.hiPreCoefficient, work, n);
    HiPreSectionB(hiPreB, p.hiPreCoefficient, p.hiPreGain, work, n);
  }
  Fvc3Filter(fvc3, work, n);
  if (p.softDistortionOn == 1.0f) soft.Process(work, n, p.liveInputFactor, p.inputGain);
  if (p.fvc1On == 1) Fvc1Filter(fvc1, work, side_.data(), n);
  if (p.distortionType > 0) WaveshaperWithBoost(n);
  if (p.tubeOn == 1) {
    tube.FoldBank(work, n);
    tube.VoiceBank(work, n);
  }
  FixedSection(fixedSection, work, n);
  Fvc2Stage(fvc2, work, n);
  if (p.postEqOn == 1) postEq.Process(work, n);
  if (p.echoOn == 1) echo.Process(work, n, p.echoDelay);
  elliptic.Process(work, n);
  if (p.lowPass2On == 1) LowPass2(lowPass2, p.lowPass2Coefficient, work, n);
  if (p.flangerOn == 1) flanger.Process(work, n);
  if (p.reverbOn == 1)
    reverb.Process(work, n, p.reverbAllPassGain, p.reverbDelay2, p.reverbGain2, p.reverbBrightness);
}

void ReferenceChain::RunStagesDirect(int n) {
  float* work = work_.data();
  if (p.preEqOn == 1) preEq.Process(work, n);
  if (p.hiPassOn == 1) FixedHighPass(fixedHighPass, p.hiPassGain, work, n);
  if (p.hiPreOn == 1) {
    HiPreSectionA(hiPreA, p.hiPreCoefficient, work, n);
    HiPreSectionB(hiPreB, p.hiPreCoefficient, p.hiPreGain, work, n);
  }
  Fvc3Filter(fvc3, work, n);
  if (p.softDistortionOn == 1.0f) soft.Process(work, n, p.liveInputFactor, p.inputGain);
  if (p.fvc1On == 1) Fvc1Filter(fvc1, work, side_.data(), n);
  if (p.distortionType > 0) WaveshaperWithBoost(n);
  if (p.tubeOn == 1) {
    tube.FoldBank(work, n);
    tube.VoiceBank(work, n);
  }
  if (p.postEqOn == 1) postEq.Process(work, n);
  Fvc2Stage(fvc2, work, n);
  elliptic.Process(work, n);
  if (p.lowPass2On == 1) LowPass2(lowPass2, p.lowPass2Coefficient, work, n);
  if (p.flangerOn == 1) flanger.Process(work, n);
  if (p.echoOn == 1) echo.Process(work, n, p.echoDelay);
  if (p.reverbOn == 1)
    reverb.Process(work, n, p.reverbAllPassGain, p.reverbDelay2, p.reverbGain2, p.reverbBrightness);
}

void ReferenceChain::RunStagesRealtime(int n) {
  float* work = work_.data();
  if (p.hiPassOn == 1) FixedHighPass(fixedHighPass, p.hiPassGain, work, n);
  if (p.hiPreOn == 1) {
    HiPreSectionA(hiPreA, p.hiPreCoefficient, work, n);
    HiPreSectionB(hiPreB, p.hiPreCoefficient, p.hiPreGain, work, n);
  }
  Fvc3Filter(fvc3, work, n);
  if (p.softDistortionOn == 1.0f) soft.Process(work, n, p.liveInputFactor, p.inputGain);
  if (p.fvc1On == 1) Fvc1Filter(fvc1, work, side_.data(), n);
  if (p.distortionType > 0) WaveshaperWithBoost(n);
  if (p.tubeOn == 1) {
    tube.FoldBank(work, n);
    tube.VoiceBank(work, n);
  }
  Fvc2Stage(fvc2, work, n);
  elliptic.Process(work, n);
  if (p.lowPass2On == 1) LowPass2(lowPass2, p.lowPass2Coefficient, work, n);
  if (p.flangerOn == 1) flanger.Process(work, n);
  if (p.echoOn == 1) echo.Process(work, n, p.echoDelay);
  if (p.reverbOn == 1)
    reverb.Process(work, n, p.reverbAllPassGain, p.reverbDelay2, p.reverbGain2, p.reverbBrightness);
}

// ---- drivers ----------------------------------------------------------------

void ReferenceChain::ProcessWaveIn(const int16_t* in, int16_t* out) {
  const int n = p.waveInBlockLength;
  float* work = work_.data();
  for (int i = 0; i < n; ++i) {
    const auto x = static_cast<float>(in[i]);
    dry_[static_cast<size_t>(i)] = x;
    const float gained = x * p.inputGain;
    work[i] = gained * p.liveInputFactor;
  }
  if (p.wavViaEffects == 1) FileMixIn(n, 100, 10, 60);
  RunStagesWaveIn(n);
  if (p.wavViaEffects != 1) FileMixIn(n, 100, 10, 60);
  int posted = 0;
  for (int i = 0; i < n; ++i) {
    const float v = work[i] * p.outputGain;
    if (v > 32000.0f && p.overloadLatch == 0) {
      p.overloadLatch = 1;
      ++posted;
    }
    if (v < 31000.0f) p.overloadLatch = 0;
    out[i] = ClampRound(v);
  }
  overloadMessages += posted;
  DeliverOverloadMessages(posted);
}

void ReferenceChain::DeliverOverloadMessages(int count) {
  for (int k = 0; k < count; ++k) {
    const int position = controls_.Position("ScrollBar_OutPut_Volume");
    if (position > 1) {
      controls_.Set("ScrollBar_OutPut_Volume", position - 1);
      p.overloadLatch = 0;
    }
  }
}

void ReferenceChain::ProcessDirect(int32_t count, int16_t* block) {
  const int n = count;
  float* work = work_.data();
  for (int i = 0; i < n; ++i) {
    const auto x = static_cast<float>(block[i]);
    dry_[static_cast<size_t>(i)] = x;
    const float gained = x * p.inputGain;
    work[i] = gained * p.liveInputFactor;
  }
  const bool short128 = p.realtimeBlockLength == 128;
  const int wrap = short128 ? 120 : 60, first = short128 ? 10 : 5, second = short128 ? 70 : 35;
  if (p.wavViaEffects == 1) FileMixIn(n, wrap, first, second);
  RunStagesDirect(n);
  if (p.wavViaEffects != 1) FileMixIn(n, wrap, first, second);
  for (int i = 0; i < n; ++i) {
    const float v = p.recordClean == 1 ? dry_[static_cast<size_t>(i)] : work[i] * p.outputGain;
    if (v > 32000.0f) p.outputGain = p.outputGain * 0.9f;
    block[i] = ClampRound(v);
  }
}

void ReferenceChain::ProcessRealtime(int16_t* shared) {
  const int n = p.realtimeBlockLength;
  float* work = work_.data();
  if (n == 128) {
    for (int i = 0; i < 128; ++i) {
      const int32_t sum = static_cast<int32_t>(shared[2 * i]) + static_cast<int32_t>(shared[2 * i + 1]);
      work[i] = static_cast<float>(sum);
    }
  } else {
    for (int i = 0; i < 256; ++i) work[i] = static_cast<float>(shared[i]);
  }
  const float inputFactor = p.inputGain * p.liveInputFactor;
  for (int i = 0; i < n; ++i) {
    dry_[static_cast<size_t>(i)] = work[i];
    work[i] = work[i] * inputFactor;
  }
  const bool short128 = n == 128;
  const int wrap = short128 ? 160 : 80, first = short128 ? 10 : 5, second = short128 ? 90 : 45;
  if (p.wavViaEffects == 1) FileMixIn(n, wrap, first, second);
  RunStagesRealtime(n);
  if (p.wavViaEffects != 1) FileMixIn(n, wrap, first, second);
  for (int i = 0; i < n; ++i) work[i] = work[i] * p.outputGain;
  if (p.cardType == 1) {
    for (int i = 0; i < n; ++i) {
      const auto s = static_cast<int16_t>(ClampInt(RoundNearest(work[i])));
      if (n == 128) {
        shared[2 * i] = s;
        shared[2 * i + 1] = s;
      } else {
        shared[i] = s;
      }
    }
  } else {
    for (int i = 0; i < 128; ++i) {
      const int32_t r = RoundNearest(work[i]);
      shared[2 * i] = static_cast<int16_t>(ClampInt(r + dither[ditherIndex]));
      ++ditherIndex;
      shared[2 * i + 1] = static_cast<int16_t>(ClampInt(r + dither[ditherIndex]));
      ++ditherIndex;
    }
  }
}

}  // namespace model
