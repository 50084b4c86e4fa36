#include "model/render_cases.h"

#include <fstream>
#include <iterator>

#include "files/riff_synth.h"

namespace model {
namespace {

constexpr double kRate = 22050.0;

// The golden renders: the bundled riff through each shipped preset, loaded at start-up.
constexpr const char* kShippedPresets[] = {"clear.pre", "dist1.pre", "hard.pre", "solo1.pre", "all.pre"};

Samples Riff() {
  static const Samples s = fw::SynthesiseRiff(22050);
  return s;
}

template <int K>
PresetBytes Shipped() {
  std::ifstream in(std::string(FRETWERK_SOURCE_DIR) + "/data/presets/" + kShippedPresets[K],
                   std::ios::binary);
  return PresetBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void AddGoldenRenders(std::vector<RenderCase>& cases) {
  const std::pair<const char*, PresetBytes (*)()> presets[] = {{"Clear", Shipped<0>},
                                                               {"Dist1", Shipped<1>},
                                                               {"Hard", Shipped<2>},
                                                               {"Solo1", Shipped<3>},
                                                               {"All", Shipped<4>}};
  for (const auto& [name, preset] : presets)
    cases.push_back({.name = std::string("GoldenRiff") + name, .input = Riff, .clearPreset = preset});
  // Every driver at both rates, and the shortest and longest blocks.
  for (const int rate : {22050, 44100}) {
    const std::string at = rate == 44100 ? "Rate44100" : "";
    cases.push_back({.name = "GoldenRiffAllDirect" + at,
                     .driver = "direct",
                     .rate = rate,
                     .input = Riff,
                     .clearPreset = Shipped<4>});
    cases.push_back({.name = "GoldenRiffAllRealtime" + at,
                     .driver = "realtime",
                     .rate = rate,
                     .cardType = 1,
                     .input = Riff,
                     .clearPreset = Shipped<4>});
    for (const char* driver : {"wavein", "direct"}) {
      for (const int block : {1, 1001}) {
        cases.push_back({.name = std::string("GoldenRiffAll") + (driver[0] == 'w' ? "WaveIn" : "Direct") +
                                 "Block" + std::to_string(block) + at,
                         .driver = driver,
                         .block = block,
                         .rate = rate,
                         .input = Riff,
                         .clearPreset = Shipped<4>});
      }
    }
  }
}

}  // namespace

Samples Guitar() {
  static const Samples s = Concatenate({PluckedString(22050, 110.0, kRate, 12000, 7350, 1),
                                        Impulses(4410, 441, 9000), Sine(6600, 440.0, kRate, 7000)});
  return s;
}
Samples GuitarLong() {
  static const Samples s = Concatenate({PluckedString(44100, 82.4, kRate, 14000, 11025, 5),
                                        Impulses(11000, 2750, 12000), Sine(11000, 196.0, kRate, 9000)});
  return s;
}
Samples TwelveSeconds() {
  static const Samples s = Concatenate({PluckedString(136000, 110.0, kRate, 12000, 5512, 21),
                                        PluckedString(136000, 146.8, kRate, 9000, 7350, 22)});
  return s;
}
Samples Loud() {
  static const Samples s = Concatenate({Sine(4400, 220.0, kRate, 3000), LoudClipped(11000, 147.0, kRate),
                                        Sine(8800, 330.0, kRate, 2000), LoudClipped(8800, 98.0, kRate)});
  return s;
}
Samples HighString() {
  static const Samples s =
      Concatenate({PluckedString(22050, 659.3, kRate, 10000, 5512, 9), Sine(11025, 1760.0, kRate, 6000)});
  return s;
}

namespace {

using Sets = std::vector<std::pair<std::string, int>>;

const Sets kEverySwitchOff = {{"CheckBox_Flanger", 0},          {"CheckBox_post_EQ", 1},
                              {"CheckBox_post_EQ", 0},          {"Pre_FVC1_OnOff", 0},
                              {"CheckBox_pre_EQ", 0},           {"CheckBox_tubetortion_OnOff", 1},
                              {"CheckBox_tubetortion_OnOff", 0}};

Sets EverythingOn() {
  return {{"CheckBox_pre_EQ", 1},
          {"ScrollBar_preEQ3", 30},
          {"ScrollBar_preEQ7", 70},
          {"HiPassFilterFixed", 1},
          {"ScrollBarGainHiF", 2},
          {"CheckBox_OnOff_HiPre", 1},
          {"ScrollBar_cutoff_hi_preEq", 20},
          {"ScrollBar_GainHiPreEq", 2},
          {"CheckBox_SoftDOnOff", 1},
          {"ScrollBar_CShift", 85},
          {"Pre_FVC1_OnOff", 1},
          {"RadioGroup_HDistort", 1},
          {"CheckBox_DisOldNew", 1},
          {"ScrollBar_nd_Ampl", 10},
          {"CheckBox_tubetortion_OnOff", 0},
          {"CheckBox_tubetortion_OnOff", 1},
          {"CheckBox_post_EQ", 1},
          {"ScrollBar_postEQ5", 30},
          {"CheckBox_DelayOn_Off", 1},
          {"ScrollBar_Delay_Time", 8},
          {"ScrollBar_Delay_Gain", 70},
          {"CheckBox1", 1},
          {"CheckBox_lpf_2", 1},
          {"ScrollBar9", 20},
          {"CheckBox_Flanger", 0},
          {"CheckBox_Flanger", 1},
          {"ScrollBar_Flanger_Speed", 30},
          {"CheckBox_ReverbOnOff", 1},
          {"ScrollBar_Rev_Del_2", 5},
          {"ScrollBar_OutPut_Volume", 51}};
}

}  // namespace

std::vector<RenderCase> Cases() {
  std::vector<RenderCase> cases;
  auto add = [&](RenderCase c) { cases.push_back(std::move(c)); };
  // Wave-in driver, one stage family at a time.
  add({.name = "WaveInStartUpState", .input = Guitar});
  add({.name = "WaveInEverySwitchOff", .sets = kEverySwitchOff, .input = Guitar});
  add({.name = "WaveInImpulsesEverySwitchOff", .sets = kEverySwitchOff, .input = [] {
         static const Samples s = Impulses(22000, 2200, 20000);
         return s;
       }});
  add({.name = "WaveInEcho",
       .sets = {{"CheckBox_DelayOn_Off", 1}, {"ScrollBar_Delay_Time", 10}, {"ScrollBar_Delay_Gain", 60}},
       .input = GuitarLong});
  add({.name = "WaveInEchoSweep",
       .sets = {{"CheckBox_DelayOn_Off", 1},
                {"ScrollBar_Delay_Time", 1},
                {"CheckBox1", 1},
                {"ScrollBar_Delay_Decay", 80},
                {"ScrollBar_Delay_Gain", 45},
                {"ScrollBar_Delay_I_Gain", 70}},
       .input = GuitarLong});
  // Long enough (272,000 samples) for the swept first tap to read ahead of the write
  // position past the end of the 134,000-sample ring, into the never-written spare
  // entries: from sample 267,947 on, with the sweep offset above 313.
  add({.name = "WaveInEchoSweepRingWrap",
       .sets = {{"CheckBox_DelayOn_Off", 1},
                {"ScrollBar_Delay_Time", 1},
                {"CheckBox1", 1},
                {"ScrollBar_Delay_Gain", 60}},
       .input = TwelveSeconds});
  add({.name = "WaveInReverb",
       .sets = {{"CheckBox_ReverbOnOff", 1}, {"ScrollBar_Rev_Del_2", 10}},
       .input = GuitarLong});
  add({.name = "WaveInReverbSettings",
       .sets = {{"CheckBox_ReverbOnOff", 1},
                {"ScrollBar_Rev_Del_2", 1},
                {"ScrollBar_Reverb_G_2", 3},
                {"ScrollBar_Rever_Dec2", 40},
                {"ScrollBar_Rever_FNC_2", 25}},
       .input = Guitar});
  add({.name = "WaveInFlangerSettings",
       .sets = {{"ScrollBar_Flanger_Gain", 40},
                {"ScrollBar_Flanger_Speed", 30},
                {"ScrollBar_Flanger_Tone", 48}},
       .input = HighString});
  add({.name = "WaveInFlangerReset",
       .sets = {{"CheckBox_Flanger", 0}, {"CheckBox_Flanger", 1}},
       .input = HighString});
  for (int type = 1; type <= 3; ++type)
    add({.name = "WaveInWaveshaperType" + std::to_string(type),
         .sets = {{"RadioGroup_HDistort", type}},
         .input = Guitar});
  add({.name = "WaveInWaveshaperMainPageType2",
       .sets = {{"RadioGroup_Dist_Of12", 2}, {"ScrollBar_HD_In_Gain", 2}},
       .input = Guitar});
  add({.name = "WaveInWaveshaperKneeSliders",
       .sets = {{"RadioGroup_HDistort", 1},
                {"ScrollBar_D_Gain", 200},
                {"ScrollBar_D_Gain_X1", 22000},
                {"ScrollBar_D_SMOOT", 7}},
       .input = Guitar});
  add({.name = "WaveInLowBoost",
       .sets = {{"RadioGroup_HDistort", 3}, {"CheckBox_DisOldNew", 1}, {"ScrollBar_nd_Ampl", 25}},
       .input = Guitar});
  add({.name = "WaveInSoftDistortion", .sets = {{"CheckBox_SoftDOnOff", 1}}, .input = Loud});
  add({.name = "WaveInSoftDistortionSliders",
       .sets = {{"CheckBox_Distortion_OnOff", 1},
                {"ScrollBar_CShift", 100},
                {"ScrollB_SoftDGain", 25},
                {"ScrollBar7", 50},
                {"ScrollBar8", 10}},
       .input = Guitar});
  add({.name = "WaveInSoftDistortionMutedInput",
       .sets = {{"CheckBox_SoftDOnOff", 1},
                {"ScrollBar_Digital_IN_Gain", 3},
                {"CheckBox_Mute_Live_Input", 1}},
       .input = Guitar});
  add({.name = "WaveInPreEqualiser",
       .sets = {{"CheckBox_pre_EQ", 1},
                {"ScrollBar_preEQ2", 20},
                {"ScrollBar_preEQ6", 80},
                {"ScrollBar_preEQ0", 40}},
       .input = Guitar});
  add({.name = "WaveInPostEqualiserSliders",
       .sets = {{"ScrollBar_postEQ1", 1},
                {"ScrollBar_postEQ4", 100},
                {"ScrollBar_postEQ8", 10},
                {"ScrollBar_postEQ0", 60}},
       .input = Guitar});
  for (int index : {0, 1, 2, 4, -1})
    add({.name = "WaveInBrightness" + std::string(index < 0 ? "None" : std::to_string(index)),
         .sets = {{"RadioGroup_elipsF", index}},
         .input = HighString});
  add({.name = "WaveInTube", .sets = {{"CheckBox_tubetortion_OnOff", 1}}, .input = Guitar});
  add({.name = "WaveInTubeOff",
       .sets = {{"CheckBox_tubetortion_OnOff", 1}, {"CheckBox_tubetortion_OnOff", 0}},
       .input = Guitar});
  add({.name = "WaveInFixedHighPass",
       .sets = {{"HiPassFilterFixed", 1}, {"ScrollBarGainHiF", 3}},
       .input = Guitar});
  add({.name = "WaveInFixedHighPassSilentGain", .sets = {{"HiPassFilterFixed", 1}}, .input = Guitar});
  add({.name = "WaveInHighPreEqualiser",
       .sets = {{"CheckBox_OnOff_HiPre", 1}, {"ScrollBar_cutoff_hi_preEq", 10}, {"ScrollBar_GainHiPreEq", 2}},
       .input = Guitar});
  add({.name = "WaveInSecondLowPass",
       .sets = {{"CheckBox_lpf_2", 1}, {"ScrollBar9", 30}},
       .input = HighString});
  add({.name = "WaveInFvc3Controls",
       .sets = {{"ScrollBar_FVC3", 4}, {"ScrollBar_Trash_nd_Delay", 7}, {"ScrollBar_Gain_FVC3", 2}},
       .input = Guitar});
  add({.name = "WaveInFvc2MainPage",
       .sets = {{"ScrollBar_HiFreqAmpFreq", 40}, {"ScrollBar_HiFreqGain", 20}},
       .input = Guitar});
  add({.name = "WaveInFvc2FiltersPage",
       .sets = {{"ScrollBar_FVC2", 60}, {"ScrollBar_Koeff_FVC2", 0}},
       .input = Guitar});
  add({.name = "WaveInFvc1ColourOfDistortion", .sets = {{"ScrollBar_Color_Of_Dist", 10}}, .input = Guitar});
  add({.name = "WaveInInputGains",
       .sets = {{"ScrollBar_del_in", 0}, {"ScrollBar_OutPut_Volume", 55}},
       .input = Guitar});
  add({.name = "WaveInOverload",
       .sets = {{"ScrollBar_Digital_IN_Gain", 2}, {"ScrollBar_OutPut_Volume", 52}},
       .input = Loud});
  // Positions where a mapping worked out in double and one worked out in float
  // steps would give different engine values.
  add({.name = "WaveInMappingsDistortions",
       .sets = {{"CheckBox_SoftDOnOff", 1},
                {"ScrollB_SoftDGain", 7},
                {"RadioGroup_HDistort", 2},
                {"ScrollBar_HD_In_Gain", 3}},
       .input = Guitar});
  add({.name = "WaveInSoftExponentMapping",
       .sets = {{"CheckBox_SoftDOnOff", 1}, {"ScrollBar_CShift", 33}},
       .input = Guitar});
  add({.name = "WaveInShaperSmoothMapping",
       .sets = {{"RadioGroup_HDistort", 2}, {"ScrollBar_D_SMOOT", 23}},
       .input = Guitar});
  add({.name = "WaveInMappingsFilters",
       .sets = {{"ScrollBar_Trash_nd_Delay", 3},
                {"ScrollBar_cutoff_hi_preEq", 7},
                {"CheckBox_OnOff_HiPre", 1},
                {"CheckBox_lpf_2", 1},
                {"ScrollBar9", 13},
                {"ScrollBar_Koeff_FVC2", 7}},
       .input = Guitar});
  add({.name = "WaveInMappingsEqualisers",
       .sets = {{"CheckBox_pre_EQ", 1},
                {"ScrollBar_preEQ1", 99},
                {"ScrollBar_preEQ4", 77},
                {"ScrollBar_preEQ0", 93},
                {"ScrollBar_postEQ2", 85},
                {"ScrollBar_postEQ7", 59},
                {"ScrollBar_postEQ0", 13}},
       .input = Guitar});
  add({.name = "WaveInMappingsTimeEffects",
       .sets = {{"ScrollBar_Flanger_Speed", 9},
                {"ScrollBar_Flanger_Gain", 33},
                {"ScrollBar_Flanger_Tone", 7},
                {"CheckBox_ReverbOnOff", 1},
                {"ScrollBar_Reverb_G_2", 7},
                {"ScrollBar_Rever_Dec2", 33},
                {"ScrollBar_Rever_FNC_2", 29},
                {"CheckBox_DelayOn_Off", 1},
                {"ScrollBar_Delay_Decay", 33},
                {"ScrollBar_Delay_I_Gain", 57},
                {"ScrollBar_Delay_Gain", 29}},
       .input = GuitarLong});
  add({.name = "WaveInFileMixBeforeEffects",
       .sets = {{"CheckBox_wav_via_effects", 1}, {"CheckBox_DelayOn_Off", 1}, {"ScrollBar_Delay_Gain", 60}},
       .input = Guitar});
  add({.name = "WaveInRate44100", .rate = 44100, .sets = {{"CheckBox_pre_EQ", 1}}, .input = Guitar});
  // Start-up from default presets of the test's own.
  add({.name = "WaveInOwnBusyPreset", .input = Guitar, .clearPreset = BusyRecord});
  add({.name = "DirectOwnBusyPreset", .driver = "direct", .input = Guitar, .clearPreset = BusyRecord});
  add({.name = "WaveInOwnShortPreset",
       .sets = {{"ScrollBar_OutPut_Volume", 60}},
       .input = Guitar,
       .clearPreset = ShortRecord});
  add({.name = "RealtimeOwnOutOfRangePreset",
       .driver = "realtime",
       .cardType = 2,
       .input = Guitar,
       .clearPreset = OutOfRangeRecord});
  add({.name = "WaveInEverythingOn", .sets = EverythingOn(), .input = GuitarLong});
  add({.name = "WaveInBlock64EverythingOn", .block = 64, .sets = EverythingOn(), .input = Guitar});

  // Direct driver.
  add({.name = "DirectEverySwitchOff", .driver = "direct", .sets = kEverySwitchOff, .input = Guitar});
  add({.name = "DirectStartUpState368", .driver = "direct", .block = 368, .input = Guitar});
  add({.name = "DirectBlock100SoftDistortion",
       .driver = "direct",
       .block = 100,
       .sets = {{"CheckBox_SoftDOnOff", 1}, {"ScrollBar_Digital_IN_Gain", 30}, {"ScrollBar7", 20}},
       .input = Guitar});
  add({.name = "DirectEverythingOn", .driver = "direct", .sets = EverythingOn(), .input = GuitarLong});
  add({.name = "DirectOverload",
       .driver = "direct",
       .sets = {{"ScrollBar_Digital_IN_Gain", 2}, {"ScrollBar_OutPut_Volume", 52}},
       .input = Loud});
  add({.name = "DirectRecordCleanOverload",
       .driver = "direct",
       .sets = {{"CheckBox_record_clean", 1}, {"CheckBox_DelayOn_Off", 1}},
       .input = Loud});

  // Realtime driver.
  add({.name = "RealtimeCard1", .driver = "realtime", .cardType = 1, .input = Guitar});
  add({.name = "RealtimeCard2Dither", .driver = "realtime", .cardType = 2, .seed = 11, .input = Guitar});
  add({.name = "RealtimeCard0Dither", .driver = "realtime", .cardType = 0, .seed = 12345, .input = Guitar});
  add({.name = "RealtimeCardTypeFromStartUp", .driver = "realtime", .seed = 3, .input = Guitar});
  add({.name = "RealtimeCard1Rate44100",
       .driver = "realtime",
       .rate = 44100,
       .cardType = 1,
       .input = Guitar});
  add({.name = "RealtimeCard2Rate44100",
       .driver = "realtime",
       .rate = 44100,
       .cardType = 2,
       .input = Guitar});
  add({.name = "RealtimeCard1Block256", .driver = "realtime", .block = 256, .cardType = 1, .input = Guitar});
  add({.name = "RealtimeInputGain",
       .driver = "realtime",
       .cardType = 1,
       .sets = {{"ScrollBar_Digital_IN_Gain", 3}, {"ScrollBar_OutPut_Volume", 51}},
       .input = Guitar});
  add({.name = "RealtimeMutedLiveInput",
       .driver = "realtime",
       .cardType = 1,
       .sets = {{"CheckBox_Mute_Live_Input", 1},
                {"ScrollBar_OutPut_Volume", 100},
                {"CheckBox_SoftDOnOff", 1}},
       .input = Guitar});
  add({.name = "RealtimeEverythingOnCard1",
       .driver = "realtime",
       .cardType = 1,
       .sets = EverythingOn(),
       .input = GuitarLong});
  add({.name = "RealtimeEverythingOnCard2",
       .driver = "realtime",
       .cardType = 2,
       .seed = 99,
       .sets = EverythingOn(),
       .input = Guitar});
  AddGoldenRenders(cases);
  return cases;
}

}  // namespace model
