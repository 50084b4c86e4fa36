// fretwerk-cli render and riff, run as a user runs them: argument errors, rates and
// channels of the input, .raw and WAV files, block handling and the realtime driver's stereo layout.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "files/sound_file.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

struct CliRun {
  int exitCode;
  std::string err;
};

class CliRender : public testing::Test {
 protected:
  void SetUp() override {
    const char* cli = std::getenv("FRETWERK_CLI");
    if (cli == nullptr) GTEST_SKIP() << "FRETWERK_CLI is not set (ctest sets it)";
    cli_ = cli;
    dir_ = fs::temp_directory_path() / ("fretwerk_cli_" + std::to_string(::getpid()) + "_" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  CliRun Cli(const std::string& arguments) const {
    const std::string errPath = Path("stderr.txt");
    const std::string command = "'" + cli_ + "' " + arguments + " > /dev/null 2> '" + errPath + "'";
    const int status = std::system(command.c_str());
    std::ifstream in(errPath);
    std::stringstream text;
    text << in.rdbuf();
    return {WEXITSTATUS(status), text.str()};
  }

  // The render's peak resident memory in KiB.
  long PeakKb(const std::string& input) const {
    const std::string output = Path("peak.raw");
    const char* argv[] = {cli_.c_str(), "render", input.c_str(), output.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    EXPECT_EQ(posix_spawn(&child, cli_.c_str(), &actions, nullptr, const_cast<char**>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    EXPECT_EQ(wait4(child, &status, 0, &usage), child);
    EXPECT_EQ(status, 0) << input;
    return usage.ru_maxrss;
  }

  static int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }

  std::string cli_;
  fs::path dir_;
};

std::vector<std::int16_t> Ramp(int n) {
  std::vector<std::int16_t> s(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>((i * 53) % 8000 - 4000);
  return s;
}

SF_INFO Info(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file != nullptr) sf_close(file);
  return info;
}

std::vector<std::int16_t> ReadAll(const std::string& path, int channels) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  std::vector<std::int16_t> samples(static_cast<std::size_t>(info.frames * channels));
  sf_read_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(file);
  return samples;
}

TEST_F(CliRender, BadArgumentsGiveOneLineAndAFailingExit) {
  WriteSound(Path("in.raw"), Ramp(100), 1, 22050);
  for (const std::string args : {"render", "render --driver dma in.raw out.raw", "render --rate 48000 a b",
                                 "render --block x a b", "render --frobnicate a b"}) {
    const CliRun run = Cli(args);
    EXPECT_NE(run.exitCode, 0) << args;
    EXPECT_EQ(Lines(run.err), 1) << args << ": " << run.err;
  }
}

TEST_F(CliRender, UnknownControlsBadValuesAndUnreadableFilesAreNamed) {
  const std::string in = Path("in.raw");
  WriteSound(in, Ramp(100), 1, 22050);
  CliRun run = Cli("render --set ScrollBar_Nothing=3 " + in + " " + Path("o.raw"));
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.err.find("ScrollBar_Nothing"), std::string::npos) << run.err;

  run = Cli("render --set CheckBox_record_clean=on " + in + " " + Path("o.raw"));
  EXPECT_NE(run.exitCode, 0);
  EXPECT_EQ(Lines(run.err), 1);

  run = Cli("render --set ScrollBar_OutPut_Volume " + in + " " + Path("o.raw"));
  EXPECT_NE(run.exitCode, 0);

  run = Cli("render " + Path("missing.wav") + " " + Path("o.wav"));
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.err.find("missing.wav"), std::string::npos) << run.err;

  std::ofstream(Path("odd.raw")) << "abc";
  run = Cli("render " + Path("odd.raw") + " " + Path("o.wav"));
  EXPECT_NE(run.exitCode, 0);
  EXPECT_EQ(Lines(run.err), 1);
  EXPECT_FALSE(fs::exists(Path("o.wav")));
}

std::vector<std::int16_t> Sine(double hz, int rate, int frames, int channels) {
  std::vector<std::int16_t> s;
  for (int i = 0; i < frames; ++i) {
    const auto v = static_cast<std::int16_t>(8000.0 * std::sin(2.0 * M_PI * hz * i / rate));
    s.insert(s.end(), static_cast<std::size_t>(channels), v);
  }
  return s;
}

int UpwardZeroCrossings(const std::vector<std::int16_t>& s) {
  int count = 0;
  for (std::size_t i = 1; i < s.size(); ++i) count += s[i - 1] < 0 && s[i] >= 0 ? 1 : 0;
  return count;
}

// A file at another rate than the engine's keeps its rate, length and pitch; a
// stereo file is mixed to mono with a note.
TEST_F(CliRender, SoundFilesComeBackAtTheirOwnRateLengthAndPitch) {
  struct Case {
    int fileRate;
    int channels;
    std::string rateOption;
  };
  for (const Case& c : {Case{44100, 1, ""}, Case{48000, 1, "--rate 44100 "}, Case{22050, 2, ""}}) {
    SCOPED_TRACE(c.fileRate);
    WriteSound(Path("in.wav"), Sine(440.0, c.fileRate, c.fileRate, c.channels), c.channels, c.fileRate);
    const CliRun run = Cli("render " + c.rateOption + Path("in.wav") + " " + Path("o.wav"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("mixed to mono") != std::string::npos, c.channels == 2) << run.err;
    const SF_INFO info = Info(Path("o.wav"));
    EXPECT_EQ(info.samplerate, c.fileRate);
    EXPECT_EQ(info.frames, c.fileRate);
    EXPECT_NEAR(UpwardZeroCrossings(ReadAll(Path("o.wav"), 1)), 440, 12);
  }
}

// The output's format follows its name; a name no format has is refused before the
// input is even read.
TEST_F(CliRender, OutputFormatFollowsTheName) {
  WriteSound(Path("in.wav"), Ramp(600), 1, 22050);
  for (const auto& [name, format] : {std::pair{"o.flac", SF_FORMAT_FLAC}, std::pair{"o.au", SF_FORMAT_AU},
                                     std::pair{"o.ogg", SF_FORMAT_OGG}, std::pair{"o.WAV", SF_FORMAT_WAV}}) {
    ASSERT_EQ(Cli("render " + Path("in.wav") + " " + Path(name)).exitCode, 0) << name;
    const SF_INFO info = Info(Path(name));
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, format) << name;
    EXPECT_EQ(info.frames, 600) << name;
  }
  const CliRun mp3 = Cli("render " + Path("missing.wav") + " " + Path("o.mp3"));
  EXPECT_NE(mp3.exitCode, 0);
  EXPECT_NE(mp3.err.find("cannot write " + Path("o.mp3") + ": the name must end in .wav"), std::string::npos)
      << mp3.err;
}

TEST_F(CliRender, OutOfRangeValuesAreLimitedWithANote) {
  WriteSound(Path("in.raw"), Ramp(100), 1, 22050);
  const CliRun run =
      Cli("render --set ScrollBar_OutPut_Volume=500 --card-type 9 --block 5000 --driver direct " +
          Path("in.raw") + " " + Path("o.raw"));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("ScrollBar_OutPut_Volume"), std::string::npos) << run.err;
  EXPECT_EQ(Lines(run.err), 3) << run.err;
}

TEST_F(CliRender, IntegersBeyondAnyRangeAreLimitedLikeOthers) {
  WriteSound(Path("in.raw"), Ramp(100), 1, 22050);
  for (const std::string value : {"99999999999999999999999", "-99999999999", "-99999999999999999999999"}) {
    const CliRun run =
        Cli("render --set ScrollBar_OutPut_Volume=" + value + " " + Path("in.raw") + " " + Path("o.raw"));
    EXPECT_EQ(run.exitCode, 0) << value << ": " << run.err;
    EXPECT_NE(run.err.find("outside the control's range; set to"), std::string::npos) << run.err;
  }
}

// The data size in a take's AU header, checked against the file's length (a take
// not finished says "unknown size").
std::uint32_t FinishedTakeBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
  if (bytes.size() < 128) return 0;
  const std::uint32_t size = (std::uint32_t{bytes[8]} << 24) | (std::uint32_t{bytes[9]} << 16) |
                             (std::uint32_t{bytes[10]} << 8) | std::uint32_t{bytes[11]};
  EXPECT_EQ(size, bytes.size() - 128) << path;
  return size;
}

// A take started by --set is finished when the render ends: every sample in the file
// and the header's data size true.
TEST_F(CliRender, TakeStartedWithSetIsFinishedAtTheEnd) {
  WriteSound(Path("in.raw"), Ramp(22000), 1, 22050);
  const CliRun run = Cli("render --set Edit_Open_R=" + Path("take") + " --set BitBtn_Start_Record=1 " +
                         Path("in.raw") + " " + Path("o.raw"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(FinishedTakeBytes(Path("take.au")), 2u * 22000u);
}

TEST_F(CliRender, RawAndWavOutputsHoldTheSameSamplesAndTheInputLength) {
  const auto input = Ramp(1000);  // not a whole number of blocks
  WriteSound(Path("in.raw"), input, 1, 22050);
  for (const std::string driver : {"wavein", "direct"}) {
    SCOPED_TRACE(driver);
    ASSERT_EQ(Cli("render --driver " + driver + " " + Path("in.raw") + " " + Path("o.raw")).exitCode, 0);
    ASSERT_EQ(Cli("render --driver " + driver + " " + Path("in.raw") + " " + Path("o.wav")).exitCode, 0);
    const MonoSound raw = ReadMonoSound(Path("o.raw"));
    const MonoSound wav = ReadMonoSound(Path("o.wav"));
    EXPECT_EQ(raw.samples.size(), input.size());
    EXPECT_EQ(wav.samples, raw.samples);
    EXPECT_EQ(wav.sampleRate, 22050);
  }
}

// A long input is rendered a block at a time: memory does not grow with its length.
TEST_F(CliRender, MemoryStaysBoundedWhateverTheInputsLength) {
#ifdef FRETWERK_SANITIZED
  GTEST_SKIP() << "the sanitizer's quarantine keeps freed memory resident";
#endif
  WriteSound(Path("short.raw"), Ramp(1000), 1, 22050);
  WriteSound(Path("long.raw"), Ramp(1 << 20), 1, 22050);  // 2 MiB, 48 seconds
  EXPECT_LT(PeakKb(Path("long.raw")) - PeakKb(Path("short.raw")), 512);
}

// An input that fails midway (a pipe that ends on half a sample) or an output that
// cannot be written ends the render with its message and no output, and the take
// it started is finished.
TEST_F(CliRender, AFailedInputOrOutputStillFinishesTheTake) {
  ASSERT_EQ(::mkfifo(Path("in.raw").c_str(), 0600), 0);
  WriteSound(Path("ok.raw"), Ramp(100), 1, 22050);
  const auto render = [&](const std::string& take, const std::string& in, const std::string& out) {
    return "'" + cli_ + "' render --set Edit_Open_R=" + Path(take) + " --set BitBtn_Start_Record=1 " +
           Path(in) + " " + Path(out) + " > /dev/null 2>> '" + Path("err") + "'";
  };
  const std::string command = "head -c 44101 /dev/zero > '" + Path("in.raw") + "' & " +
                              render("take", "in.raw", "o.raw") + "; " +
                              render("take2", "ok.raw", "none/o.raw");
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1);
  std::ifstream err(Path("err"));
  const std::string text{std::istreambuf_iterator<char>(err), {}};
  EXPECT_NE(text.find("odd number of bytes"), std::string::npos) << text;
  EXPECT_NE(text.find("cannot write " + Path("none/o.raw")), std::string::npos) << text;
  EXPECT_FALSE(fs::exists(Path("o.raw")));
  EXPECT_GT(FinishedTakeBytes(Path("take.au")), 0u);
  EXPECT_EQ(FinishedTakeBytes(Path("take2.au")), 0u);  // finished, and empty
  EXPECT_TRUE(fs::exists(Path("take2.au")));
}

TEST_F(CliRender, SilenceStaysSilentWithEverySwitchOff) {
  WriteSound(Path("in.raw"), std::vector<std::int16_t>(700, 0), 1, 22050);
  ASSERT_EQ(Cli("render --set CheckBox_record_clean=0 " + Path("in.raw") + " " + Path("o.raw")).exitCode, 0);
  const MonoSound out = ReadMonoSound(Path("o.raw"));
  EXPECT_EQ(out.samples, std::vector<std::int16_t>(700, 0));
}

TEST_F(CliRender, RealtimeOutputLayoutFollowsTheBlockTheDriverWrites) {
  WriteSound(Path("in.wav"), Ramp(600), 1, 22050);
  // 128-frame stereo blocks: two channels, one frame per input sample.
  ASSERT_EQ(Cli("render --driver realtime --card-type 1 " + Path("in.wav") + " " + Path("s.wav")).exitCode,
            0);
  SF_INFO info = Info(Path("s.wav"));
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.frames, 600);
  const auto stereo = ReadAll(Path("s.wav"), 2);
  for (std::size_t i = 0; i < stereo.size(); i += 2) ASSERT_EQ(stereo[i], stereo[i + 1]) << i;

  // CardType 1 with 256-sample mono blocks: one channel.
  ASSERT_EQ(Cli("render --driver realtime --card-type 1 --block 256 " + Path("in.wav") + " " + Path("m.wav"))
                .exitCode,
            0);
  info = Info(Path("m.wav"));
  EXPECT_EQ(info.channels, 1);
  EXPECT_EQ(info.frames, 600);

  const CliRun bad = Cli("render --driver realtime --block 200 " + Path("in.wav") + " " + Path("x.wav"));
  EXPECT_NE(bad.exitCode, 0);
}

TEST_F(CliRender, Rate44100WritesA44100HzFile) {
  WriteSound(Path("in.raw"), Ramp(500), 1, 22050);
  const CliRun run = Cli("render --rate 44100 " + Path("in.raw") + " " + Path("o.wav"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Info(Path("o.wav")).samplerate, 44100);
}

TEST_F(CliRender, RiffIsAFewSecondsOfMonoSound) {
  ASSERT_EQ(Cli("riff " + Path("riff.wav")).exitCode, 0);
  const MonoSound riff = ReadMonoSound(Path("riff.wav"));
  EXPECT_EQ(riff.sampleRate, 22050);
  const double seconds = static_cast<double>(riff.samples.size()) / 22050.0;
  EXPECT_GE(seconds, 5.0);
  EXPECT_LE(seconds, 10.0);
  const auto peak = *std::max_element(riff.samples.begin(), riff.samples.end());
  EXPECT_GT(peak, 8000);
}

}  // namespace
}  // namespace fw
