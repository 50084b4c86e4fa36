// What a host sees besides the sound: bypass, saved state, a real-time safe run(),
// meters and latency, and the rates the plugin refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "files/riff_synth.h"
#include "plugin/lilv_host.h"
#include "support/realtime_guard.h"

namespace fw::test {
namespace {

constexpr int kRate = 44100;

class PluginHostTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(world.plugin, nullptr); }

  static std::vector<std::int16_t> Riff() {
    std::vector<std::int16_t> riff = SynthesiseRiff(kRate);
    riff.resize(3 * kRate);
    return riff;
  }

  LilvHostWorld world;
  std::mt19937 random{7};
};

int LargestStep(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
  int largest = 0;
  for (std::size_t i = from + 1; i < to; ++i) largest = std::max(largest, std::abs(s[i] - s[i - 1]));
  return largest;
}

TEST_F(PluginHostTest, BypassCrossfadesToTheInputWithoutAStep) {
  const std::vector<std::int16_t> riff = Riff();
  const std::size_t switchAt = kRate;
  PluginHost processed(world, kRate);
  PluginHost bypassed(world, kRate);
  processed.Set("RadioGroup_Dist_Of12", 3);  // far from the input, so a jump would show
  bypassed.Set("RadioGroup_Dist_Of12", 3);
  std::mt19937 same = random;
  const Played wet = processed.Play(riff, random);
  const Played out = bypassed.Play(riff, same, [&](std::size_t start) {
    if (start >= switchAt) bypassed.Set("enabled", 0);
  });
  const auto switched =
      static_cast<std::size_t>(std::find_if(out.left.begin(), out.left.end(),
                                            [&, i = std::size_t{0}](std::int16_t v) mutable {
                                              return i++ >= switchAt && v != wet.left[i - 1];
                                            }) -
                               out.left.begin());
  const std::size_t ms10 = kRate / 100;
  const std::size_t ms50 = kRate / 20;
  ASSERT_LT(switched, riff.size() - ms50);
  // Still fading 10 ms in, the input alone from 50 ms on.
  EXPECT_NE(out.left[switched + ms10 - 1], riff[switched + ms10 - 1]);
  EXPECT_TRUE(std::equal(out.left.begin() + static_cast<std::ptrdiff_t>(switched + ms50), out.left.end(),
                         riff.begin() + static_cast<std::ptrdiff_t>(switched + ms50)));
  EXPECT_EQ(out.right, out.left);
  // No step: the fade moves no faster than either signal, plus one ramp step of the gap.
  const int gap = 2 * 32768;
  const int allowed = std::max(LargestStep(wet.left, switched - 1, switched + ms50),
                               LargestStep(riff, switched - 1, switched + ms50)) +
                      gap / static_cast<int>(ms10);
  EXPECT_LE(LargestStep(out.left, switched - 1, switched + ms50), allowed);
}

TEST_F(PluginHostTest, StateRestoredIntoAFreshInstanceSoundsTheSame) {
  const std::vector<std::int16_t> riff = Riff();
  const auto setUp = [](PluginHost& host) {
    host.LoadPreset("dist1");  // the tube voicing lives in the record only
    host.Set("RadioGroup_Dist_Of12", 1);
    host.Set("ScrollBar_del_in", 5);
    host.Set("CheckBox_ReverbOnOff", 1);
  };
  PluginHost saved(world, kRate);
  setUp(saved);
  Played ignored;
  const float silence[64] = {};
  saved.Run(silence, 64, ignored);  // the port moves reach the controls
  LilvState* state = saved.Save();
  ASSERT_NE(state, nullptr);

  PluginHost restored(world, kRate);
  restored.Restore(state);
  lilv_state_free(state);
  PluginHost direct(world, kRate);
  setUp(direct);
  std::mt19937 same = random;
  EXPECT_EQ(restored.Play(riff, random).left, direct.Play(riff, same).left);
}

// At a native rate, and at one where the resamplers run too.
class PluginRunAtRate : public PluginHostTest, public testing::WithParamInterface<int> {};

TEST_P(PluginRunAtRate, NeitherAllocatesNorLocksWhileEveryPortMoves) {
  PluginHost host(world, GetParam(), Worker::Deferred);
  const std::vector<std::int16_t> riff = Riff();
  std::vector<float> input(riff.size());
  std::transform(riff.begin(), riff.end(), input.begin(),
                 [](std::int16_t s) { return static_cast<float>(s) / 32768.0f; });
  const std::uint32_t ports = lilv_plugin_get_num_ports(world.plugin);
  std::vector<float> lows(ports), highs(ports);
  lilv_plugin_get_port_ranges_float(world.plugin, lows.data(), highs.data(), nullptr);
  std::vector<std::pair<std::string, std::uint32_t>> inputs;
  LilvNode* inputPort = lilv_new_uri(world.world, LV2_CORE__InputPort);
  for (std::uint32_t index = 0; index < ports; ++index) {
    const LilvPort* port = lilv_plugin_get_port_by_index(world.plugin, index);
    if (lilv_port_is_a(world.plugin, port, inputPort) && !std::isnan(lows[index])) {
      inputs.emplace_back(lilv_node_as_string(lilv_port_get_symbol(world.plugin, port)), index);
    }
  }
  lilv_node_free(inputPort);
  ResetRealtimeViolations();
  host.watchRealtime = true;
  std::uniform_int_distribution<std::uint32_t> length(1, 4096);
  Played played;
  played.left.reserve(riff.size());
  played.right.reserve(riff.size());
  for (std::size_t start = 0; start < riff.size();) {
    for (const auto& [symbol, index] : inputs) {
      host.Set(symbol, std::uniform_real_distribution<float>(lows[index], highs[index])(random));
    }
    const std::uint32_t n =
        std::min<std::uint32_t>(length(random), static_cast<std::uint32_t>(riff.size() - start));
    host.Run(input.data() + start, n, played);
    host.RunDeferredWork();
    start += n;
  }
  EXPECT_EQ(RealtimeViolations(), 0) << FirstRealtimeViolation();
}

INSTANTIATE_TEST_SUITE_P(Rates, PluginRunAtRate, testing::Values(kRate, 48000));

TEST_F(PluginHostTest, MetersShowThePeaksAndTheLatencyIsNone) {
  PluginHost host(world, kRate);
  std::vector<float> half(512, 0.0f);
  half[100] = 0.5f;
  Played played;
  host.Run(half.data(), 512, played);
  EXPECT_NEAR(host.Get("input_peak"), -6.02f, 0.01f);
  EXPECT_GT(host.Get("output_peak"), -40.0f);
  EXPECT_EQ(host.Get("latency"), 0.0f);
  const std::vector<float> silence(512, 0.0f);
  for (int i = 0; i < 200; ++i) host.Run(silence.data(), 512, played);
  EXPECT_EQ(host.Get("input_peak"), -90.0f);
}

TEST_F(PluginHostTest, AnotherRateFailsWithAMessageInTheHostsLog) {
  PluginHost host(world, 8000);
  EXPECT_FALSE(host.Loaded());
  EXPECT_NE(host.log.find("8000 Hz"), std::string::npos) << host.log;
}

}  // namespace
}  // namespace fw::test
