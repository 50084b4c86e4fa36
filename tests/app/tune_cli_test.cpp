// fretwerk-cli tune: one line per note of a file, and the live tuner ending by itself.
#include <gtest/gtest.h>

#include <cmath>

#include "files/sound_file.h"
#include "support/plucked_string.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace fw {
namespace {

TEST(TuneCli, PrintsOneSteadyReadingPerNoteOfAFile) {
  test::TempDir dir;
  std::vector<std::int16_t> riff;
  for (const test::PluckedString& note :
       {test::PluckedString{110.0 * std::pow(2.0, -7.5 / 1200.0), 0.5, 1.2},
        test::PluckedString{329.628 * std::pow(2.0, 3.0 / 1200.0), 3.0, 1.2},
        test::PluckedString{30.868 * std::pow(2.0, -4.0 / 1200.0), 0.5, 1.5}}) {
    for (float sample : test::Synthesize(note))
      riff.push_back(static_cast<std::int16_t>(std::lround(sample)));
  }
  const std::string file = (dir.path() / "strings.wav").string();
  WriteSound(file, riff, 1, 22050);
  const test::CliResult result = test::RunCli("tune --in '" + file + "'");
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.output, "A2 -7.5 cents 109.52 Hz\nE4 3.0 cents 330.20 Hz\nB0 -4.0 cents 30.80 Hz\n");

  const test::CliResult missing = test::RunCli("tune --in '" + file + ".none'");
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.output.find("strings.wav.none"), std::string::npos) << missing.output;
}

TEST(TuneCli, LiveTuningEndsCleanlyAfterItsSeconds) {
  const test::CliResult result = test::RunCli("tune --audio virtual --seconds 0.5");
  EXPECT_EQ(result.code, 0) << result.output;
  EXPECT_NE(result.output.find("\r-   in -60.0 dBFS"), std::string::npos) << result.output;
}

}  // namespace
}  // namespace fw
