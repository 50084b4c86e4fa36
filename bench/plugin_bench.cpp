// Cost of the LV2 plugin's run() over a 128-frame host block with every stage and the
// stereo chorus on, at 44.1 kHz (the same work as the standalone's LiveCallback
// without the output queue and resampling) and at 48 kHz (the chain at 44.1 kHz
// between the plugin's resamplers). "load" is the share of the period; "per_sample"
// the time per host sample.
#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "plugin/plugin_instance.h"
#include "plugin/port_layout.h"
#include "support/test_paths.h"

namespace {

constexpr int kPeriod = 128;
void PluginRun(benchmark::State& state) {
  const auto rate = static_cast<double>(state.range(0));
  fw::plugin::PluginInstance plugin(rate, (fw::test::BinaryDir() + "/lv2/fretwerk.lv2").c_str(), nullptr);
  const fw::plugin::PluginForm probe(44100, fw::test::BinaryDir() + "/lv2/fretwerk.lv2");
  const std::map<std::string, float> everyStage = {
      {"CheckBox_SoftDOnOff", 1}, {"RadioGroup_HDistort", 1},  {"Pre_FVC1_OnOff", 1},
      {"HiPassFilterFixed", 1},   {"CheckBox_OnOff_HiPre", 1}, {"CheckBox_lpf_2", 1},
      {"CheckBox_Flanger", 1},    {"CheckBox_DelayOn_Off", 1}, {"CheckBox_ReverbOnOff", 1},
      {"CheckBox_pre_EQ", 1},     {"CheckBox_post_EQ", 1},     {"RadioGroup_Dist_Of12", 1},
      {"CheckBox_DisOldNew", 1},  {"RadioGroup_OUT_MONO_", 1}, {"ScrollBar_max_chorus_delay", 1000}};
  std::vector<float> controls;
  for (const auto& control : probe.Controls()) {
    const auto on = everyStage.find(control.symbol);
    controls.push_back(on != everyStage.end() ? on->second : static_cast<float>(control.initial));
  }
  std::vector<float> in(kPeriod), left(kPeriod), right(kPeriod);
  float enabled = 1.0f, latency = 0.0f, inPeak = 0.0f, outPeak = 0.0f;
  plugin.Connect(fw::plugin::kInputPort, in.data());
  plugin.Connect(fw::plugin::kLeftPort, left.data());
  plugin.Connect(fw::plugin::kRightPort, right.data());
  plugin.Connect(fw::plugin::kEnabledPort, &enabled);
  plugin.Connect(fw::plugin::kLatencyPort, &latency);
  plugin.Connect(fw::plugin::kInputPeakPort, &inPeak);
  plugin.Connect(fw::plugin::kOutputPeakPort, &outPeak);
  for (std::size_t i = 0; i < controls.size(); ++i) {
    plugin.Connect(static_cast<std::uint32_t>(fw::plugin::kFirstControlPort + i), &controls[i]);
  }
  plugin.Activate();
  plugin.Run(kPeriod);  // without a worker, the stage switches take effect here

  float phase = 0.0f;
  for (auto _ : state) {
    for (float& v : in) {
      v = 0.3f * std::sin(phase);
      phase += 0.03f;
    }
    plugin.Run(kPeriod);
    benchmark::DoNotOptimize(left.data());
  }
  const auto iterations = static_cast<double>(state.iterations());
  state.counters["load"] = benchmark::Counter(iterations * kPeriod / rate,
                                              benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["per_sample"] =
      benchmark::Counter(iterations * kPeriod, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(PluginRun)->Arg(44100)->Arg(48000);

}  // namespace
