// fretwerk-cli render against the reference model, sample by sample, within the
// exactness rule (support/exactness.h).
//
// The CLI starts as the program does: engine defaults, the window's activation
// sequence (which loads "clear.pre" from the directory beside the executable when no
// --preset-dir is given), then each --set in order. The model takes the same steps
// with the same "clear.pre" bytes. A case that sets a control the window does not
// have fails: fretwerk-cli refuses the render and names the control.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "model/cli_render.h"
#include "model/model_render.h"
#include "model/render_cases.h"
#include "support/exactness.h"

namespace model {
namespace {

class RenderMatchesModel : public testing::TestWithParam<RenderCase> {};

TEST_P(RenderMatchesModel, SampleBySample) {
  if (std::getenv("FRETWERK_CLI") == nullptr)
    GTEST_SKIP() << "FRETWERK_CLI is not set: run through ctest or set it to the fretwerk-cli executable";
  ASSERT_EQ(RenderUnavailable(), "") << "a plain fretwerk-cli render fails";
  ASSERT_TRUE(RenderIsAudible())
      << "a plain fretwerk-cli render is silent: the start-up sequence did not run";
  const RenderCase& c = GetParam();

  std::vector<std::string> options = CliOptions(c);
  const std::vector<uint8_t>* clearPre = ClearPreset();
  std::vector<uint8_t> ownPreset;
  if (c.clearPreset != nullptr) {
    ownPreset = c.clearPreset();
    options.insert(options.end(), {"--preset-dir", WritePresetDirectory(c.name, ownPreset)});
    clearPre = &ownPreset;
  }
  const CliRun run = RunRender(options, c.input());
  ASSERT_EQ(run.exitCode, 0) << "fretwerk-cli render refused the case: " << run.errors;
  const Rendered expected = RenderModel(c, clearPre);
  const size_t blockFrames = c.block != 0             ? static_cast<size_t>(c.block)
                             : c.driver == "direct"   ? 184
                             : c.driver == "realtime" ? (c.rate == 44100 ? 256 : 128)
                                                      : 220;
  if (std::getenv("FRETWERK_MODEL_VERBOSE") != nullptr) {
    double energy = 0.0;
    int peak = 0;
    for (int16_t s : run.output) {
      energy += static_cast<double>(s) * s;
      peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    std::printf("%s: %zu samples, peak %d, rms %.0f; %s\n", c.name.c_str(), run.output.size(), peak,
                std::sqrt(energy / static_cast<double>(std::max<size_t>(1, run.output.size()))),
                fw::test::MeasureExactness(expected.interleaved, run.output).Describe().c_str());
  }
  EXPECT_TRUE(fw::test::WithinExactnessRule(expected.interleaved, run.output))
      << DescribeFirstDifference(expected, run.output, blockFrames);
}

// An investigation aid: FRETWERK_MODEL_ADHOC="--driver direct --set NAME=V ..." compares
// one render of the guitar input with those options.
TEST(RenderMatchesModelAdHoc, FromEnvironment) {
  const char* options = std::getenv("FRETWERK_MODEL_ADHOC");
  if (options == nullptr || std::getenv("FRETWERK_CLI") == nullptr)
    GTEST_SKIP() << "FRETWERK_MODEL_ADHOC not set";
  RenderCase c{.name = "AdHoc", .input = Guitar};
  std::istringstream words(options);
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
  const Rendered expected = RenderModel(c, ClearPreset());
  EXPECT_TRUE(fw::test::WithinExactnessRule(expected.interleaved, run.output))
      << DescribeFirstDifference(expected, run.output, 220);
}

INSTANTIATE_TEST_SUITE_P(Cases, RenderMatchesModel, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<RenderCase>& param) { return param.param.name; });

}  // namespace
}  // namespace model
