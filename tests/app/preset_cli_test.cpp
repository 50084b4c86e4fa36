#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "presets/preset_fixture.h"
#include "support/test_paths.h"

namespace fw {
namespace {

struct Result {
  int code;
  std::string output;
};

Result Cli(const std::string& arguments) {
  const char* fromCtest = std::getenv("FRETWERK_CLI");
  const std::string program = fromCtest != nullptr ? fromCtest : test::BinaryDir() + "/fretwerk-cli";
  const std::string command = "'" + program + "' " + arguments + " 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string output;
  std::array<char, 512> chunk{};
  while (fgets(chunk.data(), static_cast<int>(chunk.size()), pipe.get()) != nullptr) output += chunk.data();
  const int status = pclose(pipe.release());
  return {WEXITSTATUS(status), output};
}

TEST(PresetCli, SetCreatesFromInitialPositionsAndShowPrintsEveryValue) {
  test::TempDirectory dir;
  const std::string file = (dir.path() / "new.pre").string();
  ASSERT_EQ(Cli("preset set '" + file +
                "' ScrollBar_OutPut_Volume=40 CheckBox_ReverbOnOff=1 TubeOn=1 TubeVoicing=2")
                .code,
            0);
  PresetRecord record;
  record.ReplacePrefix(test::ReadBytes(file));
  ASSERT_EQ(test::ReadBytes(file).size(), 416u);
  EXPECT_EQ(record.Int(284), 40);
  EXPECT_TRUE(record.Checked(308));
  EXPECT_EQ(record.Int(316), 450);  // initial position of ScrollBar_D_Gain
  EXPECT_EQ(record.TubeFlag(), 1);
  EXPECT_EQ(record.TubeVoicing(), 2);

  const Result shown = Cli("preset show '" + file + "'");
  EXPECT_EQ(shown.code, 0);
  EXPECT_NE(shown.output.find("ScrollBar_OutPut_Volume      = 40\n"), std::string::npos) << shown.output;
  EXPECT_NE(shown.output.find("TubeVoicing                  = 2"), std::string::npos);
  EXPECT_NE(shown.output.find("ScrollBar_D_Gain_X1          = 15000\n"), std::string::npos);
}

TEST(PresetCli, ShowFlagsValuesOutOfRange) {
  test::TempDirectory dir;
  PresetRecord record = InitialPresetRecord();
  record.SetInt(268, 1000);
  record.bytes()[308] = 2;
  test::WriteRecord(dir.path() / "wild.pre", record);
  const Result shown = Cli("preset show '" + (dir.path() / "wild.pre").string() + "'");
  EXPECT_NE(shown.output.find("ScrollBar_Delay_Decay        = 1000  (out of range 1..99, loads as 99)"),
            std::string::npos)
      << shown.output;
  EXPECT_NE(shown.output.find("(byte 2, loads as checked)"), std::string::npos);
}

TEST(PresetCli, BadInputGetsAMessageAndLeavesTheFile) {
  test::TempDirectory dir;
  const std::string file = (dir.path() / "p.pre").string();
  ASSERT_EQ(Cli("preset set '" + file + "' ScrollBar_OutPut_Volume=30").code, 0);
  const Result unknown = Cli("preset set '" + file + "' NoSuchBar=3");
  EXPECT_EQ(unknown.code, 2);
  EXPECT_NE(unknown.output.find("unknown control \"NoSuchBar\""), std::string::npos);
  const Result range = Cli("preset set '" + file + "' ScrollBar_OutPut_Volume=300");
  EXPECT_EQ(range.code, 2);
  EXPECT_NE(range.output.find("outside 1..100"), std::string::npos);
  EXPECT_EQ(Cli("preset set '" + file + "' ScrollBar_OutPut_Volume=abc").code, 2);
  EXPECT_EQ(test::ReadBytes(file)[284], 30);
  const Result missing = Cli("preset show '" + (dir.path() / "none.pre").string() + "'");
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.output.find("File not found"), std::string::npos);
}

TEST(PresetCli, RenderStartsWithTheCleanPresetAndLoadsTheOneNamed) {
  test::TempDirectory dir;
  const std::string riff = (dir.path() / "riff.raw").string();
  ASSERT_EQ(Cli("riff '" + riff + "'").code, 0);
  const std::string presets = "--preset-dir '" + test::SourceDir() + "/data/presets' ";
  const std::string plain = (dir.path() / "plain.raw").string();
  const std::string hard = (dir.path() / "hard.raw").string();
  ASSERT_EQ(Cli("render " + presets + "'" + riff + "' '" + plain + "'").code, 0);
  ASSERT_EQ(Cli("render " + presets + "--preset dist1 '" + riff + "' '" + hard + "'").code, 0);
  EXPECT_EQ(test::ReadBytes(plain).size(), test::ReadBytes(riff).size());
  EXPECT_NE(test::ReadBytes(plain), test::ReadBytes(hard));

  const Result missing = Cli("render " + presets + "--preset nothing '" + riff + "' '" + hard + "'");
  EXPECT_NE(missing.code, 0);
  EXPECT_NE(missing.output.find("preset file not found: looked for nothing and " + test::SourceDir() +
                                "/data/presets/nothing.pre"),
            std::string::npos)
      << missing.output;
  const Result noClean =
      Cli("render --preset-dir '" + dir.path().string() + "' '" + riff + "' '" + plain + "'");
  EXPECT_NE(noClean.code, 0);
  EXPECT_NE(noClean.output.find("File not found cannot read " + dir.path().string() +
                                "//clear.pre: No such file or directory"),
            std::string::npos)
      << noClean.output;
  const Result folder = Cli("render " + presets + "'" + dir.path().string() + "' '" + plain + "'");
  EXPECT_NE(folder.output.find(dir.path().string() + " is a directory, not a sound file"), std::string::npos)
      << folder.output;
}

TEST(PresetCli, SetAndShowJudgeTheTubeWordsByTheSameRanges) {
  test::TempDirectory dir;
  const std::string file = (dir.path() / "t.pre").string();
  ASSERT_EQ(Cli("preset set '" + file + "' TubeOn=1 TubeVoicing=2").code, 0);
  const Result flag = Cli("preset set '" + file + "' TubeOn=2147483647");
  EXPECT_EQ(flag.code, 2);
  EXPECT_NE(flag.output.find("TubeOn: 2147483647 is outside 0..1"), std::string::npos) << flag.output;
  EXPECT_EQ(Cli("preset set '" + file + "' TubeVoicing=3").code, 2);
  PresetRecord record;
  record.ReplacePrefix(test::ReadBytes(file));
  record.SetTubeVoicing(7);
  test::WriteRecord(file, record);
  const Result shown = Cli("preset show '" + file + "'");
  EXPECT_NE(shown.output.find("TubeVoicing                  = 7  (out of range 0..2"), std::string::npos)
      << shown.output;
}

TEST(PresetCli, AFailedWriteNamesTheFileAndTheReason) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const Result full = Cli("preset set /dev/full ScrollBar_OutPut_Volume=30");
  EXPECT_EQ(full.code, 1);
  EXPECT_NE(full.output.find("cannot write /dev/full: No space left on device"), std::string::npos)
      << full.output;
}

}  // namespace
}  // namespace fw
