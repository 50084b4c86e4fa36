// The plugin in a host sounds as fretwerk-cli render --driver direct: with every port
// at its default, after each fixed preset, and when ports move between calls, at both
// engine rates and in host blocks of random length; at the faster host rates, as the
// direct render of the same input at 44100 Hz, resampled, after the reported latency.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "core/denormals.h"
#include "engine/chain.h"
#include "files/riff_synth.h"
#include "files/sample_rate_conversion.h"
#include "files/sound_file.h"
#include "plugin/lilv_host.h"
#include "plugin/plugin_form.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace fw::test {
namespace {

// render --driver direct of the input, with the preset (or none) at the rate.
std::vector<std::int16_t> DirectRender(const std::vector<std::int16_t>& input, int rate,
                                       const std::string& preset) {
  const TempDir dir;
  const std::string in = (dir.path() / "in.raw").string();
  const std::string out = (dir.path() / "out.raw").string();
  WriteSound(in, input, 1, rate);
  const std::string options =
      " --rate " + std::to_string(rate) + (preset.empty() ? "" : " --preset " + preset);
  const CliResult result = RunCli("render --driver direct" + options + " '" + in + "' '" + out + "'");
  EXPECT_EQ(result.code, 0) << result.output;
  return ReadMonoSound(out).samples;
}

class PluginSound : public testing::TestWithParam<int> {
 protected:
  LilvHostWorld world;
  std::mt19937 random{static_cast<std::uint32_t>(GetParam())};
  std::vector<std::int16_t> riff = SynthesiseRiff(GetParam());
};

TEST_P(PluginSound, DefaultsAndEveryFixedPresetSoundAsTheDirectRender) {
  ASSERT_NE(world.plugin, nullptr);
  for (const std::string preset : {"", "all", "clear", "dist1", "hard", "solo1"}) {
    PluginHost host(world, GetParam());
    ASSERT_TRUE(host.Loaded()) << host.log;
    if (!preset.empty()) host.LoadPreset(preset);
    const Played played = host.Play(riff, random);
    EXPECT_EQ(played.left, DirectRender(riff, GetParam(), preset)) << "preset " << preset;
    EXPECT_EQ(played.right, played.left) << "preset " << preset;
  }
}

// Moves as a host's automation makes them; a later one may undo an earlier one.
struct Move {
  std::size_t at;  // sample from which the move holds
  const char* symbol;
  int value;
};

TEST_P(PluginSound, PortMovesBetweenCallsActAsControlMovesBetweenBlocks) {
  const int rate = GetParam();
  const std::vector<Move> moves = {
      {2000, "RadioGroup_Dist_Of12", 2},      {9000, "ScrollBar_del_in", 6},
      {15000, "CheckBox_DelayOn_Off", 1},     {15000, "ScrollBar_Delay_Time", 40},
      {30000, "ScrollBar_postEQ3", 90},       {30000, "CheckBox_post_EQ", 1},
      {42000, "CheckBox_ReverbOnOff", 1},     {50000, "RadioGroup_HDistort", 3},
      {61000, "CheckBox_Flanger", 0},         {70000, "RadioGroup_elipsF", 4},
      {80000, "ScrollBar_OutPut_Volume", 70}, {90000, "RadioGroup_Dist_Of12", 0},
      {95000, "CheckBox_Mute_Live_Input", 1}, {99000, "CheckBox_Mute_Live_Input", 0},
  };
  PluginHost host(world, rate);
  std::vector<std::size_t> blockStarts;
  std::size_t next = 0;
  const Played played = host.Play(riff, random, [&](std::size_t start) {
    blockStarts.push_back(start);
    for (; next < moves.size() && moves[next].at <= start; ++next) {
      host.Set(moves[next].symbol, static_cast<float>(moves[next].value));
    }
  });

  // The same moves on the controls of a form started as the plugin starts it, between
  // the same blocks of the direct driver.
  plugin::PluginForm model(rate, BinaryDir() + "/lv2/fretwerk.lv2");
  const auto& controls = model.Controls();
  const auto indexOf = [&](const char* symbol) {
    return static_cast<std::size_t>(
        std::find_if(controls.begin(), controls.end(), [&](const auto& c) { return c.symbol == symbol; }) -
        controls.begin());
  };
  std::vector<std::int16_t> expected = riff;
  FlushDenormalsOnThisThread();  // as run() does
  blockStarts.push_back(riff.size());
  next = 0;
  for (std::size_t b = 0; b + 1 < blockStarts.size(); ++b) {
    for (; next < moves.size() && moves[next].at <= blockStarts[b]; ++next) {
      model.Move(indexOf(moves[next].symbol), moves[next].value);
    }
    for (std::size_t at = blockStarts[b]; at < blockStarts[b + 1]; at += 1000) {
      const auto n = static_cast<std::int32_t>(std::min<std::size_t>(1000, blockStarts[b + 1] - at));
      ProcessDirectBlock(model.engine(), n, expected.data() + at);
    }
  }
  ASSERT_EQ(next, moves.size());
  EXPECT_EQ(played.left, expected);
}

INSTANTIATE_TEST_SUITE_P(Rates, PluginSound, testing::Values(22050, 44100));

class PluginAtHostRate : public testing::TestWithParam<int> {
 protected:
  std::vector<std::int16_t> AtHostRate(const std::vector<std::int16_t>& atEngineRate) const {
    return ConvertSampleRate(atEngineRate, 1, 44100, GetParam(),
                             ConvertedFrames(atEngineRate.size(), 44100, GetParam()));
  }

  LilvHostWorld world;
  std::mt19937 random{static_cast<std::uint32_t>(GetParam())};
};

// One sample off, the difference would be within 20 dB of the sound (the riff is rich
// in highs); in place, it is the resamplers' own error.
TEST_P(PluginAtHostRate, SoundsAsTheDirectRenderAtTheEngineRateAfterTheLatency) {
  const std::vector<std::int16_t> riff = SynthesiseRiff(44100);
  PluginHost host(world, GetParam());
  ASSERT_TRUE(host.Loaded()) << host.log;
  const Played played = host.Play(AtHostRate(riff), random);
  const std::vector<std::int16_t> expected = AtHostRate(DirectRender(riff, 44100, ""));
  const auto latency = static_cast<std::size_t>(host.Get("latency"));
  ASSERT_GT(latency, 0u);
  double heard = 0, wanted = 0, error = 0;
  for (std::size_t i = 0; i + latency < played.left.size(); ++i) {
    const double a = played.left[i + latency], b = expected[i];
    heard += a * a;
    wanted += b * b;
    error += (a - b) * (a - b);
  }
  EXPECT_LT(10 * std::log10(error / wanted), -40.0);
  EXPECT_NEAR(10 * std::log10(heard / wanted), 0.0, 0.05);
  EXPECT_EQ(played.right, played.left);
}

// Bypassed, the input takes the same way through both resamplers as the sound does.
TEST_P(PluginAtHostRate, ABypassedClickComesOutAfterTheReportedLatency) {
  std::vector<std::int16_t> click(GetParam() / 2, 0);
  const std::size_t at = GetParam() / 10;  // after the bypass ramp
  click[at] = 16000;
  PluginHost host(world, GetParam());
  host.Set("enabled", 0);
  const Played played = host.Play(click, random);
  const auto loudest = std::max_element(played.left.begin(), played.left.end(),
                                        [](int a, int b) { return std::abs(a) < std::abs(b); });
  EXPECT_EQ(loudest - played.left.begin(), static_cast<std::ptrdiff_t>(at) + std::lrint(host.Get("latency")));
}

INSTANTIATE_TEST_SUITE_P(Rates, PluginAtHostRate, testing::Values(48000, 88200, 96000));

}  // namespace
}  // namespace fw::test
