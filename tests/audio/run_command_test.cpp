// fretwerk-cli run on the virtual sound card: a whole session from the command line.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fw::test {
namespace {

struct Result {
  int code = -1;
  std::string output;
};

Result RunCli(const std::string& arguments) {
  const char* cli = std::getenv("FRETWERK_CLI");
  Result result;
  if (cli == nullptr) return result;
  const std::string command = std::string(cli) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  std::array<char, 512> line{};
  while (fgets(line.data(), static_cast<int>(line.size()), pipe) != nullptr) result.output += line.data();
  const int status = pclose(pipe);
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

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
  const Result r = RunCli("run --audio virtual --fast --once --in " + in.string() + " --out " + out.string());
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

  const Result bad =
      RunCli("run --audio virtual --fast --once --in " + in.string() + " --set NoSuchControl=1");
  EXPECT_NE(bad.code, 0);
  EXPECT_NE(bad.output.find("unknown control NoSuchControl"), std::string::npos) << bad.output;
  const Result word =
      RunCli("run --audio virtual --fast --once --in " + in.string() + " --set CheckBox_Flanger=yes");
  EXPECT_NE(word.code, 0);
  EXPECT_NE(word.output.find("is not an integer"), std::string::npos) << word.output;
  std::filesystem::remove_all(dir);
}

// The loop-back measurement on the virtual card: the clicks come back after the
// automatic delay (one block at most) and a few samples of the filters that stay in.
TEST(LatencyCommand, MeasuresTheRoundTripOnTheVirtualCard) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  const Result r = RunCli("latency --audio virtual --seconds 3");
  ASSERT_EQ(r.code, 0) << r.output;
  int samples = -1;
  double ms = 0.0;
  const auto at = r.output.find("round trip: ");
  ASSERT_NE(at, std::string::npos) << r.output;
  ASSERT_EQ(std::sscanf(r.output.c_str() + at, "round trip: %d samples, %lf ms", &samples, &ms), 2)
      << r.output;
  EXPECT_GE(samples, 200);
  EXPECT_LE(samples, 220 + 32);
  EXPECT_NEAR(ms, 1000.0 * samples / 44100.0, 0.01);
  EXPECT_NE(r.output.find("underruns 0"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace fw::test
