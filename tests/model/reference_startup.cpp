#include <cstdlib>

#include "model/reference_chain.h"

namespace model {

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
  // No ring-0 drivers: the sound card group goes to "Any (SB Live, etc.)"
  controls_.Set("RadioGroup_NameOfSC", 2);
  // Engine values
  p.reverbOn = 0;
  p.cardType = 0;
  p.outputGain = 1.0f;
  p.inputGain = 1.0f;
  // Flanger reset and the echo's sweep state
  p.flangerOn = 1;
  flanger.Reset();
  echo.m = 0;
  echo.counter = 0;
  echo.direction = 1;
  echo.sweepOn = 0;
  // Echo defaults, then its four sliders
  p.echoDelay = 3000;
  echo.decay = 0.5f;
  echo.gain = 0.33f;
  echo.level = 0.0f;
  p.echoOn = 0;
  controls_.Set("ScrollBar_Delay_Time", 25);
  controls_.Set("ScrollBar_Delay_Decay", 40);
  controls_.Set("ScrollBar_Delay_Gain", 60);
  controls_.Set("ScrollBar_Delay_I_Gain", 45);
  // Reverb defaults
  reverb.positions = {0, 0, 0, 0};
  p.reverbAllPassGain = 0.26f;
  // The first filter designs and the dither table
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
  // The second filter designs
  fvc1.cutoff = 500.0f;
  fvc1.damping = 1.41f;
  p.filterDesignRate = 22050.0f;
  fvc1.gain = 1.0f;
  fvc1.Design(p.filterDesignRate);
  fvc3.Design(p.filterDesignRate);
  soft.armed = false;
  p.hiPreCoefficient = 0.16666667f;
  p.lowPass2Coefficient = 1.0f;
  // The start controls
  controls_.Set("RadioGroup_OUT_MONO_", 0);
  controls_.Set("RadioGroup_elipsF", 3);
  controls_.Set("ScrollBar_Reverb_G_2", 1);
  controls_.Set("ScrollBar_Rever_FNC_2", 70);
  controls_.Set("ScrollBar_Rever_Dec2", 75);
  controls_.Set("Pre_FVC1_OnOff", 1);
  controls_.Set("ScrollBar_FVC1", 3);
  controls_.Set("ScrollBar_Koeff_FVC2", 5);
  controls_.Set("RadioGroup_NameOfSC", 2);
  // The default preset
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

}  // namespace model
