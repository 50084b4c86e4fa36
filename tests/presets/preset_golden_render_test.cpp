// Golden renders: the bundled riff through each fixed preset, as the preset's
// command selects it after start-up, compared block by block with stored levels.
// Tolerances: each 220-sample block's RMS within 1% + 2 and its peak within 2% + 4
// of the stored values (room for compilers that order float work differently;
// any change in a stage's sound moves far more). Re-bless on purpose with
// FRETWERK_BLESS_GOLDEN=1, which rewrites tests/presets/golden/*.csv.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/presets/preset_commands.h"
#include "app/startup/form_activate.h"
#include "presets/preset_fixture.h"
#include "presets/render_harness.h"
#include "support/test_paths.h"

namespace fw {
namespace {

enum class Select { StartUp, Clean, Distortion1, Distortion2, Default, SoloKey, HeavyKey };

struct GoldenCase {
  const char* name;
  Select select;
};

void SelectPreset(test::PresetFixture& p, Select select) {
  switch (select) {
    case Select::StartUp:
      break;
    case Select::Clean:
      p.form.Btn("BitBtn_Clear").Click();
      break;
    case Select::Distortion1:
      p.form.Btn("BitBtn_HardRock").Click();
      break;
    case Select::Distortion2:
      p.form.Btn("BitBtn_Solo").Click();
      break;
    case Select::Default:
      p.form.Btn("BitBtn_AllEffects").Click();
      break;
    case Select::SoloKey:
      p.system.timeOfDayMs = 1000;
      FormKeyDown(p.form);
      break;
    case Select::HeavyKey:
      p.system.timeOfDayMs = 1000;
      FormKeyDown(p.form);
      p.system.timeOfDayMs = 2000;
      FormKeyDown(p.form);
      break;
  }
}

std::string GoldenPath(const char* name) {
  return test::SourceDir() + "/tests/presets/golden/" + name + ".csv";
}

void WriteGolden(const std::string& path, const std::vector<test::BlockLevels>& levels) {
  std::ofstream out(path);
  out << "# block rms, block peak: 220-sample blocks of the bundled riff through the preset\n";
  for (const auto& level : levels) {
    char line[64];
    std::snprintf(line, sizeof line, "%.2f,%d\n", level.rms, level.peak);
    out << line;
  }
}

std::vector<test::BlockLevels> ReadGolden(const std::string& path) {
  std::vector<test::BlockLevels> levels;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    test::BlockLevels level{};
    char comma = 0;
    fields >> level.rms >> comma >> level.peak;
    levels.push_back(level);
  }
  return levels;
}

class GoldenRender : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenRender, MatchesTheStoredLevels) {
  const GoldenCase& c = GetParam();
  test::PresetFixture p;
  p.system.programDirectory = test::SourceDir() + "/data/presets/";
  FormActivate(p.form);
  SelectPreset(p, c.select);
  ASSERT_TRUE(p.f.dialogs.errors.empty()) << p.f.dialogs.errors.front();
  const auto levels = test::LevelsPerBlock(test::RenderWaveIn(p.form, test::BundledRiff()));

  const std::string path = GoldenPath(c.name);
  const char* bless = std::getenv("FRETWERK_BLESS_GOLDEN");
  if (bless != nullptr && std::string(bless) == "1") {
    WriteGolden(path, levels);
    GTEST_SKIP() << "re-blessed " << path;
  }
  const auto golden = ReadGolden(path);
  ASSERT_EQ(golden.size(), levels.size())
      << path << " is missing or stale; run the test with FRETWERK_BLESS_GOLDEN=1 to write it";
  int differing = 0;
  for (std::size_t i = 0; i < golden.size(); ++i) {
    const bool rmsOk = std::abs(levels[i].rms - golden[i].rms) <= 0.01 * golden[i].rms + 2.0;
    const bool peakOk = std::abs(levels[i].peak - golden[i].peak) <= 0.02 * golden[i].peak + 4.0;
    if (!rmsOk || !peakOk) {
      if (++differing <= 5) {
        ADD_FAILURE() << c.name << " block " << i << ": rms " << levels[i].rms << " (stored " << golden[i].rms
                      << "), peak " << levels[i].peak << " (stored " << golden[i].peak << ")";
      }
    }
  }
  EXPECT_EQ(differing, 0) << "blocks differing from " << path;
}

INSTANTIATE_TEST_SUITE_P(
    FixedPresets, GoldenRender,
    ::testing::Values(GoldenCase{"startup", Select::StartUp}, GoldenCase{"clean", Select::Clean},
                      GoldenCase{"distortion1", Select::Distortion1},
                      GoldenCase{"distortion2", Select::Distortion2}, GoldenCase{"default", Select::Default},
                      GoldenCase{"solo1", Select::SoloKey}, GoldenCase{"hard", Select::HeavyKey}),
    [](const ::testing::TestParamInfo<GoldenCase>& param) { return std::string(param.param.name); });

// None of the fixed presets clips the riff, and each sounds louder than silence.
TEST(FixedPresets, LevelsStayInsideTheOutputRange) {
  for (Select select :
       {Select::Clean, Select::Distortion1, Select::Default, Select::SoloKey, Select::HeavyKey}) {
    test::PresetFixture p;
    p.system.programDirectory = test::SourceDir() + "/data/presets/";
    FormActivate(p.form);
    SelectPreset(p, select);
    const auto out = test::RenderWaveIn(p.form, test::BundledRiff());
    int clipped = 0;
    double sum = 0.0;
    for (const auto s : out) {
      clipped += std::abs(static_cast<int>(s)) >= 32000;
      sum += static_cast<double>(s) * s;
    }
    EXPECT_EQ(clipped, 0) << static_cast<int>(select);
    EXPECT_GT(std::sqrt(sum / static_cast<double>(out.size())), 500.0) << static_cast<int>(select);
  }
}

// The shipped files are exactly what scripts/make-presets makes.
TEST(FixedPresets, TheScriptReproducesTheShippedFiles) {
  const char* cli = std::getenv("FRETWERK_CLI");
  const std::string program = cli != nullptr ? cli : test::BinaryDir() + "/fretwerk-cli";
  test::TempDirectory dir;
  // Built with append: GCC 12 reports a false -Wrestrict on a chain of string '+'.
  std::string command = "'";
  command.append(test::SourceDir()).append("/scripts/make-presets' '").append(program);
  command.append("' '").append(dir.path().string()).append("' > /dev/null");
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : {"dist1.pre", "clear.pre", "all.pre", "solo1.pre", "hard.pre"}) {
    EXPECT_EQ(test::ReadBytes(dir.path() / name),
              test::ReadBytes(test::SourceDir() + "/data/presets/" + name))
        << name;
  }
}

}  // namespace
}  // namespace fw
