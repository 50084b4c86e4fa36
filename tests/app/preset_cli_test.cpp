#include <gtest/gtest.h>

#include <filesystem>

#include "presets/preset_fixture.h"
#include "support/run_cli.h"
#include "support/test_paths.h"

namespace fw {
namespace {

using test::RunCli;

TEST(PresetCli, SetCreatesFromInitialPositionsAndShowPrintsEveryValue) {
  test::TempDir dir;
  const std::string file = (dir.path() / "new.pre").string();
  ASSERT_EQ(RunCli("preset set '" + file +
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

  const test::CliResult shown = RunCli("preset show '" + file + "'");
  EXPECT_EQ(shown.code, 0);
  EXPECT_NE(shown.output.find("ScrollBar_OutPut_Volume      = 40\n"), std::string::npos) << shown.output;
  EXPECT_NE(shown.output.find("TubeVoicing                  = 2"), std::string::npos);
  EXPECT_NE(shown.output.find("ScrollBar_D_Gain_X1          = 15000\n"), std::string::npos);
}

TEST(PresetCli, ShowFlagsValuesOutOfRange) {
  test::TempDir dir;
  PresetRecord record = InitialPresetRecord();
  record.SetInt(268, 1000);
  record.bytes()[308] = 2;
  test::WriteRecord(dir.path() / "wild.pre", record);
  const test::CliResult shown = RunCli("preset show '" + (dir.path() / "wild.pre").string() + "'");
  EXPECT_NE(shown.output.find("ScrollBar_Delay_Decay        = 1000  (out of range 1..99, loads as 99)"),
            std::string::npos)
      << shown.output;
  EXPECT_NE(shown.output.find("(byte 2, loads as checked)"), std::string::npos);
}

TEST(PresetCli, BadInputGetsAMessageAndLeavesTheFile) {
  test::TempDir dir;
  const std::string file = (dir.path() / "p.pre").string();
  ASSERT_EQ(RunCli("preset set '" + file + "' ScrollBar_OutPut_Volume=30").code, 0);
  const test::CliResult unknown = RunCli("preset set '" + file + "' NoSuchBar=3");
  EXPECT_EQ(unknown.code, 2);
  EXPECT_NE(unknown.output.find("unknown control \"NoSuchBar\""), std::string::npos);
  EXPECT_EQ(RunCli("preset set '" + file + "' ScrollBar_OutPut_Volume=abc").code, 2);
  EXPECT_EQ(test::ReadBytes(file)[284], 30);
  const test::CliResult missing = RunCli("preset show '" + (dir.path() / "none.pre").string() + "'");
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.output.find("File not found"), std::string::npos);
}

TEST(PresetCli, RenderStartsWithTheCleanPresetAndLoadsTheOneNamed) {
  test::TempDir dir;
  const std::string riff = (dir.path() / "riff.raw").string();
  ASSERT_EQ(RunCli("riff '" + riff + "'").code, 0);
  const std::string presets = "--preset-dir '" + test::SourceDir() + "/data/presets' ";
  const std::string plain = (dir.path() / "plain.raw").string();
  const std::string hard = (dir.path() / "hard.raw").string();
  ASSERT_EQ(RunCli("render " + presets + "'" + riff + "' '" + plain + "'").code, 0);
  ASSERT_EQ(RunCli("render " + presets + "--preset dist1 '" + riff + "' '" + hard + "'").code, 0);
  EXPECT_EQ(test::ReadBytes(plain).size(), test::ReadBytes(riff).size());
  EXPECT_NE(test::ReadBytes(plain), test::ReadBytes(hard));

  const test::CliResult missing =
      RunCli("render " + presets + "--preset nothing '" + riff + "' '" + hard + "'");
  EXPECT_NE(missing.code, 0);
  EXPECT_NE(missing.output.find("preset file not found: looked for nothing and " + test::SourceDir() +
                                "/data/presets/nothing.pre"),
            std::string::npos)
      << missing.output;
  const test::CliResult noClean =
      RunCli("render --preset-dir '" + dir.path().string() + "' '" + riff + "' '" + plain + "'");
  EXPECT_NE(noClean.code, 0);
  EXPECT_NE(noClean.output.find("File not found cannot read " + dir.path().string() +
                                "//clear.pre: No such file or directory"),
            std::string::npos)
      << noClean.output;
  const test::CliResult folder =
      RunCli("render " + presets + "'" + dir.path().string() + "' '" + plain + "'");
  EXPECT_NE(folder.output.find(dir.path().string() + " is a directory, not a sound file"), std::string::npos)
      << folder.output;
}

TEST(PresetCli, SetLimitsAndShowFlagsTheTubeWordsByTheSameRanges) {
  test::TempDir dir;
  const std::string file = (dir.path() / "t.pre").string();
  ASSERT_EQ(RunCli("preset set '" + file + "' TubeOn=1 TubeVoicing=2").code, 0);
  const test::CliResult flag = RunCli("preset set '" + file + "' TubeOn=2147483647 TubeVoicing=3");
  EXPECT_EQ(flag.code, 0);
  EXPECT_NE(flag.output.find("TubeOn=2147483647 is outside the control's range; set to 1 (range 0..1)"),
            std::string::npos)
      << flag.output;
  PresetRecord record;
  record.ReplacePrefix(test::ReadBytes(file));
  EXPECT_EQ(record.TubeFlag(), 1);
  EXPECT_EQ(record.TubeVoicing(), 2);
  record.SetTubeVoicing(7);
  test::WriteRecord(file, record);
  const test::CliResult shown = RunCli("preset show '" + file + "'");
  EXPECT_NE(shown.output.find("TubeVoicing                  = 7  (out of range 0..2"), std::string::npos)
      << shown.output;
}

TEST(PresetCli, AFailedWriteNamesTheFileAndTheReason) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const test::CliResult full = RunCli("preset set --force /dev/full ScrollBar_OutPut_Volume=30");
  EXPECT_EQ(full.code, 1);
  EXPECT_NE(full.output.find("cannot write /dev/full: No space left on device"), std::string::npos)
      << full.output;
}

TEST(PresetCli, SetRefusesWhatIsNotAPresetUnlessForcedAndLoadingOneWarns) {
  test::TempDir dir;
  const std::vector<std::uint8_t> sound(5000, 7);
  test::WriteBytes(dir / "take.wav", sound);
  test::WriteBytes(dir / "odd.pre", {1, 2, 3});
  for (const char* name : {"take.wav", "odd.pre"}) {
    const test::CliResult refused = RunCli("preset set '" + dir / name + "' ScrollBar_OutPut_Volume=40");
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.output.find(dir / name + " is not a preset file"), std::string::npos) << refused.output;
  }
  EXPECT_EQ(test::ReadBytes(dir / "take.wav"), sound);
  EXPECT_NE(RunCli("preset set '" + dir / "new.txt" + "' ScrollBar_OutPut_Volume=40").code, 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "new.txt"));
  ASSERT_EQ(RunCli("preset set --force '" + dir / "odd.pre" + "' ScrollBar_OutPut_Volume=40").code, 0);
  EXPECT_EQ(test::ReadBytes(dir / "odd.pre").size(), 416u);

  const std::string riff = dir / "riff.raw";
  ASSERT_EQ(RunCli("riff '" + riff + "'").code, 0);
  const std::string presets = "--preset-dir '" + test::SourceDir() + "/data/presets' ";
  const test::CliResult render = RunCli("render " + presets + "--preset '" + dir / "take.wav" + "' '" + riff +
                                        "' '" + dir / "o.raw" + "'");
  EXPECT_NE(render.output.find("warning: " + dir / "take.wav" + " does not look like a preset file"),
            std::string::npos)
      << render.output;
}

// An installed fretwerk-cli (bin/ and share/fretwerk/) finds the fixed presets as the
// window does; without them, it names every place it looked.
TEST(PresetCli, InstalledRenderFindsThePresetsOrNamesWhereItLooked) {
  namespace fs = std::filesystem;
  test::TempDir root;
  fs::create_directories(root.path() / "bin");
  fs::create_directories(root.path() / "home");
  fs::copy_file(test::CliProgram(), root.path() / "bin" / "fretwerk-cli");
  const std::string run = "env -u FRETWERK_HOME -u XDG_DATA_HOME HOME='" + root / "home" + "' '" +
                          root / "bin/fretwerk-cli" + "' ";
  const std::string files = "'" + root / "riff.raw" + "' '" + root / "out.raw" + "'";
  ASSERT_EQ(RunCli("riff '" + root / "riff.raw" + "'").code, 0);

  const test::CliResult lost = test::RunCommand(run + "render --preset solo1 " + files);
  EXPECT_EQ(lost.code, 1);
  for (const std::string& place :
       {root / "bin/", root / "home/.local/share/fretwerk/", root / "share/fretwerk/"})
    EXPECT_NE(lost.output.find(place), std::string::npos) << place << "\n" << lost.output;
  EXPECT_NE(lost.output.find("--preset-dir"), std::string::npos);

  fs::create_directories(root.path() / "share" / "fretwerk");
  for (const char* name : {"clear.pre", "solo1.pre"})
    fs::copy_file(test::SourceDir() + "/data/presets/" + name, root.path() / "share" / "fretwerk" / name);
  const test::CliResult found = test::RunCommand(run + "render --preset solo1 " + files);
  EXPECT_EQ(found.code, 0) << found.output;
}

// render, run and preset set answer a name in any letter case, limit a value out of
// range with the same note and end an unknown name with the same status, naming the
// nearest names.
TEST(PresetCli, EveryCommandTakesControlNamesAlike) {
  test::TempDir dir;
  const std::string riff = dir / "riff.raw";
  ASSERT_EQ(RunCli("riff '" + riff + "'").code, 0);
  const std::string render = "render '" + riff + "' '" + dir / "o.raw" + "' --set ";
  const std::string run = "run --audio virtual --fast --once --in '" + dir / "riff.wav" + "' --set ";
  ASSERT_EQ(RunCli("riff '" + dir / "riff.wav" + "'").code, 0);
  const std::string set = "preset set '" + dir / "p.pre" + "' ";
  for (const std::string& command : {render, run, set}) {
    SCOPED_TRACE(command);
    const test::CliResult limited = RunCli(command + "scrollbar_output_volume=300");
    EXPECT_EQ(limited.code, 0) << limited.output;
    EXPECT_NE(limited.output.find("ScrollBar_OutPut_Volume=300 is outside the control's range; set to 100"),
              std::string::npos)
        << limited.output;
    const test::CliResult unknown = RunCli(command + "ScrollBar_Output_Volum=3");
    EXPECT_EQ(unknown.code, 2);
    EXPECT_NE(unknown.output.find("unknown control"), std::string::npos) << unknown.output;
    EXPECT_NE(unknown.output.find("(did you mean ScrollBar_OutPut_Volume, "), std::string::npos)
        << unknown.output;
  }
  EXPECT_EQ(test::ReadBytes(dir / "p.pre")[284], 100);
  const test::CliResult notStored = RunCli(set + "CheckBox_AWE_44_1=1");
  EXPECT_EQ(notStored.code, 2);
  EXPECT_NE(notStored.output.find("CheckBox_AWE_44_1 is a control presets do not store"), std::string::npos)
      << notStored.output;
  const test::CliResult noDir = RunCli("preset set '" + dir / "nodir/x.pre" + "' ScrollBar_OutPut_Volume=3");
  EXPECT_EQ(noDir.code, 1);
  EXPECT_NE(noDir.output.find("cannot write"), std::string::npos) << noDir.output;
}

TEST(PresetCli, ControlsListsWhatAUserCanSetAndShowTakesAFixedName) {
  const test::CliResult listed = RunCli("controls");
  EXPECT_EQ(listed.code, 0);
  EXPECT_NE(listed.output.find("[Reverb]\n"), std::string::npos);
  EXPECT_NE(listed.output.find("ScrollBar_Delay_Time  \"Delay\"\n    1..100 (11.8 ms .. 1179 ms), now 1 = "
                               "11.8 ms; preset\n    Time between the echoes."),
            std::string::npos)
      << listed.output;
  EXPECT_NE(listed.output.find("ScrollBar_D_SMOOT  \"Smooth\"\n    1..40, now 1; preset\n"),
            std::string::npos);
  EXPECT_NE(listed.output.find("RadioGroup_elipsF  \" Brightness \"\n    0 \"Black\", 1 \"Gray\""),
            std::string::npos);
  EXPECT_NE(listed.output.find("CheckBox_AWE_44_1  \"44.1 kHz (hi quality sound)\"\n    0 or 1, now 0\n"),
            std::string::npos);
  const test::CliResult shown = RunCli("preset show solo1");
  EXPECT_EQ(shown.code, 0) << shown.output;
  EXPECT_NE(shown.output.find("ScrollBar_OutPut_Volume      = "), std::string::npos);
}

TEST(PresetCli, VersionHelpAndUnknownSubcommandsAnswer) {
  const test::CliResult version = RunCli("--version");
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.output.rfind("fretwerk-cli 2.", 0), 0u) << version.output;
  const test::CliResult unknown = RunCli("rendr a b");
  EXPECT_NE(unknown.code, 0);
  EXPECT_NE(unknown.output.find(
                "unknown subcommand rendr; the subcommands are render riff preset run latency midi controls"),
            std::string::npos)
      << unknown.output;
}

}  // namespace
}  // namespace fw
