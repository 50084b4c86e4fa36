// fretwerk-cli run on the virtual sound card: a whole session from the command line.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_cli.h"

namespace fw::test {
namespace {

std::filesystem::path WriteGuitarLikeFile(const std::filesystem::path& dir, int frames) {
  const auto path = dir / "riff.wav";
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  std::vector<float> samples(static_cast<std::size_t>(frames));
  for (int i = 0; i < frames; ++i)
    samples[static_cast<std::size_t>(i)] = 0.2f * std::sin(0.0314f * static_cast<float>(i));
  sf_writef_float(file, samples.data(), frames);
  sf_close(file);
  return path;
}

TEST(RunCommand, PlaysAFileOnceThroughTheVirtualCardIntoAnotherFile) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  const auto dir = std::filesystem::temp_directory_path() / ("fretwerk-run-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const auto in = WriteGuitarLikeFile(dir, 44100);
  const auto out = dir / "live.wav";
  const CliResult r =
      RunCli("run --audio virtual --fast --once --in " + in.string() + " --out " + out.string());
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_NE(r.output.find("status: Working"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("stopped: xruns 0"), std::string::npos) << r.output;
  SF_INFO info{};
  SNDFILE* file = sf_open(out.c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr);
  sf_close(file);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.samplerate, 44100);
  EXPECT_GE(info.frames, 44100);

  const CliResult bad =
      RunCli("run --audio virtual --fast --once --in " + in.string() + " --set NoSuchControl=1");
  EXPECT_NE(bad.code, 0);
  EXPECT_NE(bad.output.find("unknown control NoSuchControl"), std::string::npos) << bad.output;
  const CliResult word =
      RunCli("run --audio virtual --fast --once --in " + in.string() + " --set CheckBox_Flanger=yes");
  EXPECT_NE(word.code, 0);
  EXPECT_NE(word.output.find("is not an integer"), std::string::npos) << word.output;
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace fw::test
