#include <cmath>
#include <string>

#include "model/reference_chain.h"

namespace model {

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

}  // namespace model
