// fretwerk-cli render against the reference model, sample by sample.
//
// The CLI starts as the program does: engine defaults, the window's activation
// sequence (which loads "clear.pre" from the directory beside the executable when no
// --preset-dir is given), then each --set in order. The model takes the same steps
// with the same "clear.pre" bytes. Cases that switch on a stage whose controls the
// product does not have yet are skipped with the stage's name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "model/reference_chain.h"
#include "model/test_signals.h"

namespace model {
namespace {

namespace fs = std::filesystem;

// ---- stage families and how to tell whether the product has them ------------

struct Family {
  const char* name;
  const char* probeControl;  // a control that the family's page adds
};
const Family kToneFilters{"tone filters", "ScrollBar_FVC2"};
const Family kDistortions{"distortion stages", "RadioGroup_HDistort"};
const Family kEqualisers{"graphic equalisers", "CheckBox_pre_EQ"};
const Family kTube{"tube stages", "CheckBox_tubetortion_OnOff"};
const Family kElliptic{"elliptic filter", "RadioGroup_elipsF"};
const Family kEcho{"echo delay", "CheckBox_DelayOn_Off"};
const Family kReverb{"reverb", "CheckBox_ReverbOnOff"};
const Family kFlanger{"flanger", "CheckBox_Flanger"};
// Every render runs the always-on stages, the flanger and the post equaliser.
const std::vector<Family> kChainBasics = {kToneFilters, kElliptic, kFlanger, kEqualisers};

// ---- running the CLI ----------------------------------------------------------

struct CliRun {
  int exitCode = -1;
  std::string errors;
  Samples output;
};

fs::path ScratchDirectory() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("fretwerk_model_" + std::to_string(::getpid()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

void WriteRaw(const fs::path& path, const Samples& samples) {
  std::ofstream out(path, std::ios::binary);
  for (int16_t s : samples) {
    const auto u = static_cast<uint16_t>(s);
    const char bytes[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    out.write(bytes, 2);
  }
}

Samples ReadRaw(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Samples out(bytes.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto lo = static_cast<uint16_t>(static_cast<unsigned char>(bytes[2 * i]));
    const auto hi = static_cast<uint16_t>(static_cast<unsigned char>(bytes[2 * i + 1]));
    out[i] = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
  }
  return out;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

CliRun RunRender(const std::vector<std::string>& options, const Samples& input) {
  static int counter = 0;
  const std::string stem = "run" + std::to_string(++counter);
  const fs::path in = ScratchDirectory() / (stem + "_in.raw");
  const fs::path out = ScratchDirectory() / (stem + "_out.raw");
  const fs::path err = ScratchDirectory() / (stem + "_err.txt");
  WriteRaw(in, input);
  std::string command = Quote(std::getenv("FRETWERK_CLI")) + " render";
  for (const std::string& o : options) command += " " + Quote(o);
  command += " " + Quote(in.string()) + " " + Quote(out.string()) + " 2> " + Quote(err.string());
  CliRun run;
  const int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream errIn(err);
  run.errors.assign(std::istreambuf_iterator<char>(errIn), std::istreambuf_iterator<char>());
  if (run.exitCode == 0) run.output = ReadRaw(out);
  fs::remove(in);
  fs::remove(out);
  fs::remove(err);
  return run;
}

// Empty when a plain render works; otherwise the CLI's complaint.
const std::string& RenderUnavailable() {
  static const std::string reason = [] {
    const CliRun run = RunRender({}, Samples(220, 0));
    if (run.exitCode == 0) return std::string();
    return "exit " + std::to_string(run.exitCode) + ": " + run.errors.substr(0, run.errors.find('\n'));
  }();
  return reason;
}

bool FamilyPresent(const Family& family) {
  static std::map<std::string, bool> known;
  const auto it = known.find(family.name);
  if (it != known.end()) return it->second;
  const CliRun run = RunRender({"--set", std::string(family.probeControl) + "=0"}, Samples(220, 0));
  const bool present = run.errors.find("unknown control") == std::string::npos;
  known[family.name] = present;
  return present;
}

// "clear.pre" beside the CLI, as the activation sequence reads it.
const std::vector<uint8_t>* ClearPreset() {
  static const std::optional<std::vector<uint8_t>> bytes = []() -> std::optional<std::vector<uint8_t>> {
    const fs::path path = fs::path(std::getenv("FRETWERK_CLI")).parent_path() / "clear.pre";
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }();
  return bytes ? &*bytes : nullptr;
}

// Whether the CLI runs the activation sequence: without it the elliptic filter has
// no coefficient set and every render is silent.
bool ActivationRuns() {
  static const bool runs = [] {
    const CliRun run = RunRender({}, Sine(2200, 440.0, 22050.0, 8000));
    if (run.exitCode != 0) return false;
    for (int16_t s : run.output)
      if (s != 0) return true;
    return false;
  }();
  return runs;
}

// ---- the cases ------------------------------------------------------------------

struct RenderCase {
  std::string name;
  std::string driver = "wavein";
  int block = 0;  // 0: the driver's default
  int rate = 22050;
  std::optional<int> cardType = std::nullopt;
  uint64_t seed = 7;
  std::vector<std::pair<std::string, int>> sets = {};
  std::vector<Family> needs = {};
  Samples (*input)() = nullptr;
  // A difference that was traced to the product and reported: the case passes once
  // the outputs agree and is skipped with this text while they differ.
  std::string knownDeviation = {};
};

void PrintTo(const RenderCase& c, std::ostream* os) { *os << c.name; }

constexpr double kRate = 22050.0;

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

const std::vector<Family> kAllFamilies = {kToneFilters, kDistortions, kEqualisers, kTube,
                                          kElliptic,    kEcho,        kReverb,     kFlanger};

std::vector<RenderCase> Cases() {
  std::vector<RenderCase> cases;
  auto add = [&](RenderCase c) { cases.push_back(std::move(c)); };
  // Wave-in driver, one stage family at a time.
  add({.name = "WaveInStartUpState", .needs = {}, .input = Guitar});
  add({.name = "WaveInEverySwitchOff", .sets = kEverySwitchOff, .needs = {}, .input = Guitar});
  add({.name = "WaveInImpulsesEverySwitchOff", .sets = kEverySwitchOff, .input = [] {
         static const Samples s = Impulses(22000, 2200, 20000);
         return s;
       }});
  add({.name = "WaveInEcho",
       .sets = {{"CheckBox_DelayOn_Off", 1}, {"ScrollBar_Delay_Time", 10}},
       .needs = {kEcho},
       .input = GuitarLong});
  add({.name = "WaveInEchoSweep",
       .sets = {{"CheckBox_DelayOn_Off", 1},
                {"ScrollBar_Delay_Time", 1},
                {"CheckBox1", 1},
                {"ScrollBar_Delay_Decay", 80},
                {"ScrollBar_Delay_Gain", 45},
                {"ScrollBar_Delay_I_Gain", 70}},
       .needs = {kEcho},
       .input = GuitarLong});
  add({.name = "WaveInReverb",
       .sets = {{"CheckBox_ReverbOnOff", 1}, {"ScrollBar_Rev_Del_2", 10}},
       .needs = {kReverb},
       .input = GuitarLong});
  add({.name = "WaveInReverbSettings",
       .sets = {{"CheckBox_ReverbOnOff", 1},
                {"ScrollBar_Rev_Del_2", 1},
                {"ScrollBar_Reverb_G_2", 3},
                {"ScrollBar_Rever_Dec2", 40},
                {"ScrollBar_Rever_FNC_2", 25}},
       .needs = {kReverb},
       .input = Guitar});
  add({.name = "WaveInFlangerSettings",
       .sets = {{"ScrollBar_Flanger_Gain", 40},
                {"ScrollBar_Flanger_Speed", 30},
                {"ScrollBar_Flanger_Tone", 48}},
       .needs = {kFlanger},
       .input = HighString});
  add({.name = "WaveInFlangerReset",
       .sets = {{"CheckBox_Flanger", 0}, {"CheckBox_Flanger", 1}},
       .needs = {kFlanger},
       .input = HighString});
  for (int type = 1; type <= 3; ++type)
    add({.name = "WaveInWaveshaperType" + std::to_string(type),
         .sets = {{"RadioGroup_HDistort", type}},
         .needs = {kDistortions},
         .input = Guitar});
  add({.name = "WaveInWaveshaperMainPageType2",
       .sets = {{"RadioGroup_Dist_Of12", 2}, {"ScrollBar_HD_In_Gain", 2}},
       .needs = {kDistortions},
       .input = Guitar});
  add({.name = "WaveInWaveshaperKneeSliders",
       .sets = {{"RadioGroup_HDistort", 1},
                {"ScrollBar_D_Gain", 200},
                {"ScrollBar_D_Gain_X1", 22000},
                {"ScrollBar_D_SMOOT", 7}},
       .needs = {kDistortions},
       .input = Guitar});
  add({.name = "WaveInLowBoost",
       .sets = {{"RadioGroup_HDistort", 3}, {"CheckBox_DisOldNew", 1}, {"ScrollBar_nd_Ampl", 25}},
       .needs = {kDistortions},
       .input = Guitar});
  add({.name = "WaveInSoftDistortion",
       .sets = {{"CheckBox_SoftDOnOff", 1}},
       .needs = {kDistortions},
       .input = Loud});
  add({.name = "WaveInSoftDistortionSliders",
       .sets = {{"CheckBox_Distortion_OnOff", 1},
                {"ScrollBar_CShift", 100},
                {"ScrollB_SoftDGain", 25},
                {"ScrollBar7", 50},
                {"ScrollBar8", 10}},
       .needs = {kDistortions},
       .input = Guitar});
  add({.name = "WaveInSoftDistortionMutedInput",
       .sets = {{"CheckBox_SoftDOnOff", 1},
                {"ScrollBar_Digital_IN_Gain", 3},
                {"CheckBox_Mute_Live_Input", 1}},
       .needs = {kDistortions},
       .input = Guitar});
  add({.name = "WaveInPreEqualiser",
       .sets = {{"CheckBox_pre_EQ", 1},
                {"ScrollBar_preEQ2", 20},
                {"ScrollBar_preEQ6", 80},
                {"ScrollBar_preEQ0", 40}},
       .needs = {kEqualisers},
       .input = Guitar});
  add({.name = "WaveInPostEqualiserSliders",
       .sets = {{"ScrollBar_postEQ1", 1},
                {"ScrollBar_postEQ4", 100},
                {"ScrollBar_postEQ8", 10},
                {"ScrollBar_postEQ0", 60}},
       .needs = {kEqualisers},
       .input = Guitar});
  for (int index : {0, 1, 2, 4, -1})
    add({.name = "WaveInBrightness" + std::string(index < 0 ? "None" : std::to_string(index)),
         .sets = {{"RadioGroup_elipsF", index}},
         .needs = {kElliptic},
         .input = HighString});
  add({.name = "WaveInTube", .sets = {{"CheckBox_tubetortion_OnOff", 1}}, .needs = {kTube}, .input = Guitar});
  add({.name = "WaveInTubeOff",
       .sets = {{"CheckBox_tubetortion_OnOff", 1}, {"CheckBox_tubetortion_OnOff", 0}},
       .needs = {kTube},
       .input = Guitar});
  add({.name = "WaveInFixedHighPass",
       .sets = {{"HiPassFilterFixed", 1}, {"ScrollBarGainHiF", 3}},
       .needs = {kToneFilters},
       .input = Guitar});
  add({.name = "WaveInFixedHighPassSilentGain",
       .sets = {{"HiPassFilterFixed", 1}},
       .needs = {kToneFilters},
       .input = Guitar});
  add({.name = "WaveInHighPreEqualiser",
       .sets = {{"CheckBox_OnOff_HiPre", 1}, {"ScrollBar_cutoff_hi_preEq", 10}, {"ScrollBar_GainHiPreEq", 2}},
       .needs = {kToneFilters},
       .input = Guitar});
  add({.name = "WaveInSecondLowPass",
       .sets = {{"CheckBox_lpf_2", 1}, {"ScrollBar9", 30}},
       .needs = {kToneFilters},
       .input = HighString});
  add({.name = "WaveInFvc3Controls",
       .sets = {{"ScrollBar_FVC3", 4}, {"ScrollBar_Trash_nd_Delay", 7}, {"ScrollBar_Gain_FVC3", 2}},
       .needs = {kToneFilters},
       .input = Guitar});
  add({.name = "WaveInFvc2MainPage",
       .sets = {{"ScrollBar_HiFreqAmpFreq", 40}, {"ScrollBar_HiFreqGain", 20}},
       .needs = {kToneFilters},
       .input = Guitar});
  add({.name = "WaveInFvc2FiltersPage",
       .sets = {{"ScrollBar_FVC2", 60}, {"ScrollBar_Koeff_FVC2", 0}},
       .needs = {kToneFilters},
       .input = Guitar});
  add({.name = "WaveInFvc1ColourOfDistortion",
       .sets = {{"ScrollBar_Color_Of_Dist", 10}},
       .needs = {kToneFilters},
       .input = Guitar});
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
       .needs = {kDistortions},
       .input = Guitar});
  add({.name = "WaveInSoftExponentMapping",
       .sets = {{"CheckBox_SoftDOnOff", 1}, {"ScrollBar_CShift", 33}},
       .needs = {kDistortions},
       .input = Guitar,
       .knownDeviation = "ScrollBar_CShift at 33: SoftExponent = (100 - 33) / 100 + 1 in 32-bit steps is "
                         "1.67000008f; the product works it out in double and stores 1.66999996f"});
  add({.name = "WaveInShaperSmoothMapping",
       .sets = {{"RadioGroup_HDistort", 2}, {"ScrollBar_D_SMOOT", 23}},
       .needs = {kDistortions},
       .input = Guitar,
       .knownDeviation = "ScrollBar_D_SMOOT at 23: ShaperSmooth = 0.2f / 23 is 0.00869565271f; the product "
                         "divides the double 0.2 and stores 0.00869565178f"});
  add({.name = "WaveInMappingsFilters",
       .sets = {{"ScrollBar_Trash_nd_Delay", 3},
                {"ScrollBar_cutoff_hi_preEq", 7},
                {"CheckBox_OnOff_HiPre", 1},
                {"CheckBox_lpf_2", 1},
                {"ScrollBar9", 13},
                {"ScrollBar_Koeff_FVC2", 7}},
       .needs = {kToneFilters},
       .input = Guitar});
  add({.name = "WaveInMappingsEqualisers",
       .sets = {{"CheckBox_pre_EQ", 1},
                {"ScrollBar_preEQ1", 99},
                {"ScrollBar_preEQ4", 77},
                {"ScrollBar_preEQ0", 93},
                {"ScrollBar_postEQ2", 85},
                {"ScrollBar_postEQ7", 59},
                {"ScrollBar_postEQ0", 13}},
       .needs = {kEqualisers},
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
       .needs = {kFlanger, kReverb, kEcho},
       .input = GuitarLong});
  add({.name = "WaveInRate44100", .rate = 44100, .sets = {{"CheckBox_pre_EQ", 1}}, .input = Guitar});
  add({.name = "WaveInEverythingOn", .sets = EverythingOn(), .needs = kAllFamilies, .input = GuitarLong});
  add({.name = "WaveInBlock64EverythingOn",
       .block = 64,
       .sets = EverythingOn(),
       .needs = kAllFamilies,
       .input = Guitar});

  // Direct driver.
  add({.name = "DirectEverySwitchOff", .driver = "direct", .sets = kEverySwitchOff, .input = Guitar});
  add({.name = "DirectStartUpState368", .driver = "direct", .block = 368, .input = Guitar});
  add({.name = "DirectBlock100SoftDistortion",
       .driver = "direct",
       .block = 100,
       .sets = {{"CheckBox_SoftDOnOff", 1}, {"ScrollBar_Digital_IN_Gain", 30}, {"ScrollBar7", 20}},
       .needs = {kDistortions},
       .input = Guitar});
  add({.name = "DirectEverythingOn",
       .driver = "direct",
       .sets = EverythingOn(),
       .needs = kAllFamilies,
       .input = GuitarLong});
  add({.name = "DirectOverload",
       .driver = "direct",
       .sets = {{"ScrollBar_Digital_IN_Gain", 2}, {"ScrollBar_OutPut_Volume", 52}},
       .input = Loud});
  add({.name = "DirectRecordCleanOverload",
       .driver = "direct",
       .sets = {{"CheckBox_record_clean", 1}, {"CheckBox_DelayOn_Off", 1}},
       .needs = {kEcho},
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
       .sets = {{"ScrollBar_Digital_IN_Gain", 3}, {"ScrollBar_OutPut_Volume", 40}},
       .input = Guitar});
  add({.name = "RealtimeEverythingOnCard1",
       .driver = "realtime",
       .cardType = 1,
       .sets = EverythingOn(),
       .needs = kAllFamilies,
       .input = GuitarLong});
  add({.name = "RealtimeEverythingOnCard2",
       .driver = "realtime",
       .cardType = 2,
       .seed = 99,
       .sets = EverythingOn(),
       .needs = kAllFamilies,
       .input = Guitar});
  return cases;
}

// ---- the model's render, fed exactly as the CLI feeds its driver ---------------

struct Rendered {
  Samples interleaved;
  int channels = 1;
};

Rendered RenderModel(const RenderCase& c) {
  ReferenceChain m(c.seed);
  m.Activate(ClearPreset());
  if (c.rate == 44100) m.Set("CheckBox_AWE_44_1", 1);
  for (const auto& [name, value] : c.sets)
    if (!m.Set(name, value)) ADD_FAILURE() << "the model has no control " << name;
  if (c.cardType) m.p.cardType = *c.cardType;

  const Samples in = c.input();
  Rendered r;
  int n = c.block;
  if (c.driver == "direct") {
    if (n == 0) n = 184;
  } else if (c.driver == "realtime") {
    if (n == 0) n = m.p.realtimeBlockLength;
    m.p.realtimeBlockLength = n;
  } else {
    if (n == 0) n = 220;
    m.p.waveInBlockLength = n;
  }
  const bool stereoOut = c.driver == "realtime" && (n == 128 || m.p.cardType != 1);
  r.channels = stereoOut ? 2 : 1;
  Samples block(static_cast<size_t>(n));
  std::array<int16_t, 256> shared{};
  Samples out(static_cast<size_t>(n));
  for (size_t start = 0; start < in.size(); start += static_cast<size_t>(n)) {
    const size_t take = std::min(in.size() - start, static_cast<size_t>(n));
    std::fill(block.begin(), block.end(), int16_t{0});
    std::copy_n(in.begin() + static_cast<std::ptrdiff_t>(start), take, block.begin());
    if (c.driver == "direct") {
      m.ProcessDirect(n, block.data());
      r.interleaved.insert(r.interleaved.end(), block.begin(),
                           block.begin() + static_cast<std::ptrdiff_t>(take));
    } else if (c.driver == "realtime") {
      for (int i = 0; i < n; ++i) {
        if (n == 128) {
          shared[static_cast<size_t>(2 * i)] = block[static_cast<size_t>(i)];  // input on the left
          shared[static_cast<size_t>(2 * i + 1)] = 0;
        } else {
          shared[static_cast<size_t>(i)] = block[static_cast<size_t>(i)];
        }
      }
      m.ProcessRealtime(shared.data());
      const size_t frames = std::min(take, stereoOut ? size_t{128} : static_cast<size_t>(n));
      r.interleaved.insert(
          r.interleaved.end(), shared.begin(),
          shared.begin() + static_cast<std::ptrdiff_t>(frames * static_cast<size_t>(r.channels)));
    } else {
      m.ProcessWaveIn(block.data(), out.data());
      r.interleaved.insert(r.interleaved.end(), out.begin(), out.begin() + static_cast<std::ptrdiff_t>(take));
    }
  }
  return r;
}

std::vector<std::string> CliOptions(const RenderCase& c) {
  std::vector<std::string> o = {"--driver", c.driver, "--seed", std::to_string(c.seed)};
  if (c.block != 0) o.insert(o.end(), {"--block", std::to_string(c.block)});
  if (c.rate != 22050) o.insert(o.end(), {"--rate", std::to_string(c.rate)});
  if (c.cardType) o.insert(o.end(), {"--card-type", std::to_string(*c.cardType)});
  for (const auto& [name, value] : c.sets) o.insert(o.end(), {"--set", name + "=" + std::to_string(value)});
  return o;
}

std::string DescribeFirstDifference(const Rendered& expected, const Samples& actual, size_t blockFrames) {
  std::ostringstream s;
  if (expected.interleaved.size() != actual.size())
    s << "length: model " << expected.interleaved.size() << " samples, CLI " << actual.size() << "; ";
  const size_t common = std::min(expected.interleaved.size(), actual.size());
  size_t differing = 0, first = common;
  int maxDiff = 0;
  for (size_t i = 0; i < common; ++i) {
    const int d = std::abs(expected.interleaved[i] - actual[i]);
    if (d != 0) {
      if (first == common) first = i;
      ++differing;
      maxDiff = std::max(maxDiff, d);
    }
  }
  if (differing == 0) return s.str();
  const size_t frame = first / static_cast<size_t>(expected.channels);
  s << differing << " of " << common << " samples differ (largest difference " << maxDiff
    << "); first at sample " << first << " (frame " << frame << ", block " << frame / blockFrames
    << ", offset " << frame % blockFrames
    << (expected.channels == 2 ? (first % 2 == 0 ? ", left" : ", right") : "") << "): model "
    << expected.interleaved[first] << ", CLI " << actual[first] << "; following model/CLI:";
  for (size_t i = first + 1; i < std::min(common, first + 6); ++i)
    s << " " << expected.interleaved[i] << "/" << actual[i];
  return s.str();
}

class RenderMatchesModel : public testing::TestWithParam<RenderCase> {};

TEST_P(RenderMatchesModel, SampleBySample) {
  if (std::getenv("FRETWERK_CLI") == nullptr)
    GTEST_SKIP() << "FRETWERK_CLI is not set: run through ctest or set it to the fretwerk-cli executable";
  if (!RenderUnavailable().empty())
    GTEST_SKIP() << "fretwerk-cli render is not usable yet: " << RenderUnavailable();
  const RenderCase& c = GetParam();
  for (const Family& f : kChainBasics)
    if (!FamilyPresent(f))
      GTEST_SKIP() << "the product has no " << f.name << " yet (" << f.probeControl << ")";
  for (const Family& f : c.needs)
    if (!FamilyPresent(f))
      GTEST_SKIP() << "the product has no " << f.name << " yet (" << f.probeControl << ")";
  if (!ActivationRuns())
    GTEST_SKIP() << "fretwerk-cli render does not run the start-up sequence yet (every render is silent)";

  const CliRun run = RunRender(CliOptions(c), c.input());
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  const Rendered expected = RenderModel(c);
  const size_t blockFrames = c.block != 0             ? static_cast<size_t>(c.block)
                             : c.driver == "direct"   ? 184
                             : c.driver == "realtime" ? (c.rate == 44100 ? 256 : 128)
                                                      : 220;
  if (!c.knownDeviation.empty() && expected.interleaved != run.output)
    GTEST_SKIP() << "known product deviation: " << c.knownDeviation << "\n"
                 << DescribeFirstDifference(expected, run.output, blockFrames);
  EXPECT_EQ(expected.interleaved, run.output) << DescribeFirstDifference(expected, run.output, blockFrames);
}

// An investigation aid: FRETWERK_MODEL_ADHOC="--driver direct --set NAME=V ..." compares
// one render of the guitar input with those options.
TEST(RenderMatchesModelAdHoc, FromEnvironment) {
  const char* spec = std::getenv("FRETWERK_MODEL_ADHOC");
  if (spec == nullptr || std::getenv("FRETWERK_CLI") == nullptr)
    GTEST_SKIP() << "FRETWERK_MODEL_ADHOC not set";
  RenderCase c{.name = "AdHoc", .input = Guitar};
  std::istringstream words(spec);
  std::string option, value;
  while (words >> option >> value) {
    if (option == "--driver")
      c.driver = value;
    else if (option == "--block")
      c.block = std::stoi(value);
    else if (option == "--rate")
      c.rate = std::stoi(value);
    else if (option == "--card-type")
      c.cardType = std::stoi(value);
    else if (option == "--seed")
      c.seed = std::stoull(value);
    else if (option == "--input" && value == "loud")
      c.input = Loud;
    else if (option == "--input" && value == "long")
      c.input = GuitarLong;
    else if (option == "--input" && value == "high")
      c.input = HighString;
    else if (option == "--set") {
      const auto eq = value.find('=');
      c.sets.emplace_back(value.substr(0, eq), std::stoi(value.substr(eq + 1)));
    }
  }
  const CliRun run = RunRender(CliOptions(c), c.input());
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  const Rendered expected = RenderModel(c);
  EXPECT_EQ(expected.interleaved, run.output) << DescribeFirstDifference(expected, run.output, 220);
}

INSTANTIATE_TEST_SUITE_P(Cases, RenderMatchesModel, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<RenderCase>& param) { return param.param.name; });

}  // namespace
}  // namespace model
