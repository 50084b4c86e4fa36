// fretwerk-cli run on the virtual sound card: a whole session from the command line.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/linux/portaudio_device.h"
#include "cli_process.h"
#include "files/au_file.h"
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

struct TempDir {
  std::filesystem::path path;
  explicit TempDir(const std::string& name)
      : path(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid()))) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
};

// A finished take: the header's data size is what the file holds after the header.
std::int64_t FinishedTakeBytes(const std::filesystem::path& au) {
  std::ifstream in(au, std::ios::binary);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
  if (bytes.size() < 128) return -1;
  const std::uint32_t size = (std::uint32_t{bytes[8]} << 24) | (std::uint32_t{bytes[9]} << 16) |
                             (std::uint32_t{bytes[10]} << 8) | std::uint32_t{bytes[11]};
  const auto data = static_cast<std::int64_t>(bytes.size()) - 128;
  return size == data ? data : -1;
}

float PeakOf(const std::filesystem::path& wav) {
  SF_INFO info{};
  SNDFILE* file = sf_open(wav.c_str(), SFM_READ, &info);
  if (file == nullptr) return -1.0f;
  std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
  sf_readf_float(file, samples.data(), info.frames);
  sf_close(file);
  float peak = 0.0f;
  for (float v : samples) peak = std::max(peak, std::fabs(v));
  return peak;
}

const char* kRecordTake = " --set BitBtn_Start_Record=1";

TEST(RunCommand, EveryWayASessionEndsFinishesARunningTake) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  TempDir dir("fretwerk-run-takes");
  const auto in = WriteGuitarLikeFile(dir.path, 44100);
  const auto take = [&](const std::string& name) {
    return " --set Edit_Open_R=" + (dir.path / name).string() + kRecordTake;
  };

  // The input played once, on a fast card that would run through it before capture
  // starts unless it waits.
  const CliResult once = RunCli("run --audio virtual --fast --once --in " + in.string() + take("once"));
  EXPECT_EQ(once.code, 0) << once.output;
  // Every whole 220-sample block of the second is in the take.
  EXPECT_GE(FinishedTakeBytes(dir.path / "once.au"), 2 * (44100 - 220)) << once.output;

  const CliResult timed = RunCli("run --audio virtual --seconds 1.5 --in " + in.string() + take("timed"));
  EXPECT_EQ(timed.code, 0) << timed.output;
  EXPECT_GT(FinishedTakeBytes(dir.path / "timed.au"), 0) << timed.output;

  // Ctrl-C, SIGTERM and SIGHUP (a closed terminal) once samples are in the ring.
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const std::string name = "signal" + std::to_string(signal);
    CliProcess run;
    ASSERT_TRUE(run.Start("run --audio virtual --in " + in.string() + take(name)));
    ASSERT_TRUE(run.ReadUntilRecording()) << run.output;
    run.Signal(signal);
    EXPECT_EQ(run.Wait(), 0) << run.output;
    EXPECT_NE(run.output.find("stopped:"), std::string::npos) << run.output;
    // At least every sample the status line counted is in the file.
    EXPECT_GE(FinishedTakeBytes(dir.path / (name + ".au")), 2 * run.LastRecorded()) << run.output;
  }
}

TEST(RunCommand, AReaderThatGoesAwayEndsTheSessionWithAFinishedTake) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  TempDir dir("fretwerk-run-pipe");
  const auto in = WriteGuitarLikeFile(dir.path, 44100);
  const auto errors = dir.path / "errors.txt";
  // sed stops reading at the first status line that counts recorded samples.
  const CliResult r = RunCli("run --audio virtual --in " + in.string() +
                             " --set Edit_Open_R=" + (dir.path / "take").string() + kRecordTake + " 2>" +
                             errors.string() + " | sed '/Recorded=[1-9]/q'");
  std::ifstream text(errors);
  const std::string said{std::istreambuf_iterator<char>(text), {}};
  EXPECT_NE(said.find("cannot write standard output: Broken pipe"), std::string::npos) << said << r.output;
  EXPECT_GT(FinishedTakeBytes(dir.path / "take.au"), 0) << said << r.output;
}

// The samples a status line counts ("Recorded=N"), or -1.
long RecordedOn(const std::string& line) {
  const auto at = line.find("Recorded=");
  return at == std::string::npos ? -1 : std::stol(line.substr(at + 9));
}

TEST(RunCommand, AKilledSessionLeavesAReadableTakeOfAllButTheLastMoments) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  TempDir dir("fretwerk-run-killed");
  const auto in = WriteGuitarLikeFile(dir.path, 44100);
  const auto take = dir.path / "take.au";
  constexpr long kRate = 22050;
  CliProcess run;
  ASSERT_TRUE(run.Start("run --audio virtual --in " + in.string() +
                        " --set Edit_Open_R=" + (dir.path / "take").string() + kRecordTake));
  long recorded = -1;
  ASSERT_TRUE(run.ReadUntilLine([&](const std::string& line) {
    recorded = std::max(recorded, RecordedOn(line));
    return recorded >= 3 * kRate;
  })) << run.output;
  run.Signal(SIGKILL);
  run.Wait();
  std::ifstream file(take, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  const AuHeaderCheck header = ParseAuHeader(bytes, bytes.size());
  ASSERT_TRUE(header.valid) << header.problem;
  EXPECT_EQ(header.sampleRate, static_cast<std::uint32_t>(kRate));
  // Every sample but those of the last two seconds is in the file.
  EXPECT_GE(static_cast<long>(header.dataBytes), 2 * (recorded - 2 * kRate)) << run.output;
}

TEST(RunCommand, FailedOutputWriteEndsTheSessionNamingTheFileAndReason) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  TempDir dir("fretwerk-run-full");
  const auto in = WriteGuitarLikeFile(dir.path, 44100);
  const auto out = dir.path / "live.wav";
  // A file size limit of 20 KiB: the write past it fails as on a full disk.
  CliProcess run;
  ASSERT_TRUE(run.Start("run --audio virtual --fast --seconds 3600 --in " + in.string() + " --out " +
                            out.string() + " --set Edit_Open_R=" + (dir.path / "take").string() + kRecordTake,
                        "trap '' XFSZ; ulimit -f 20; "));
  EXPECT_EQ(run.Wait(), 1) << run.output;
  EXPECT_NE(run.output.find("audio device lost: cannot write " + out.string() + ": "), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("File too large"), std::string::npos) << run.output;

  // An output that cannot be opened: the file and the reason, before anything plays.
  const auto missing = dir.path / "missing" / "live.wav";
  const CliResult unwritable =
      RunCli("run --audio virtual --fast --once --in " + in.string() + " --out " + missing.string());
  EXPECT_EQ(unwritable.code, 1);
  EXPECT_NE(unwritable.output.find("Can not write " + missing.string() + ": No such file or directory"),
            std::string::npos)
      << unwritable.output;
  EXPECT_EQ(unwritable.output.find("WDM"), std::string::npos) << unwritable.output;
}

// Faster than real time, a run ends by itself and --seconds counts seconds of audio.
TEST(RunCommand, FastRunsNeverRunAway) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  TempDir dir("fretwerk-run-fast");
  const auto in = WriteGuitarLikeFile(dir.path, 44100);
  const auto out = dir.path / "grow.wav";
  const CliResult endless =
      RunCli("run --audio virtual --fast --in " + in.string() + " --out " + out.string());
  EXPECT_EQ(endless.code, 2);
  EXPECT_NE(endless.output.find("give --once or --seconds"), std::string::npos) << endless.output;
  EXPECT_FALSE(std::filesystem::exists(out));

  const CliResult second =
      RunCli("run --audio virtual --fast --seconds 1 --in " + in.string() + " --out " + out.string());
  ASSERT_EQ(second.code, 0) << second.output;
  SF_INFO info{};
  sf_close(sf_open(out.c_str(), SFM_READ, &info));
  // One second after capture starts, and the wait before it at most in real time.
  EXPECT_GE(info.frames, 44100);
  EXPECT_LE(info.frames, 5 * 44100);

  const CliResult nowhere = RunCli("run --audio virtual --fast --seconds 0.1");
  EXPECT_EQ(nowhere.code, 0) << nowhere.output;
  EXPECT_NE(nowhere.output.find("plays silence to nowhere"), std::string::npos) << nowhere.output;
}

// run --record: a take by the name's format, never replacing a file, and the status
// line says its count's unit and the file.
TEST(RunCommand, RecordNumbersNewTakesInsteadOfReplacing) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  TempDir dir("fretwerk-run-record");
  const auto in = WriteGuitarLikeFile(dir.path, 44100);
  const std::string base = "run --audio virtual --fast --once --in " + in.string() + " --record ";
  for (const char* name : {"take.au", "take.wav"}) {
    const std::string first = (dir.path / name).string();
    ASSERT_EQ(RunCli(base + first).code, 0);
    const auto before = std::filesystem::file_size(first);
    const CliResult again = RunCli(base + first + " --record-clean");
    ASSERT_EQ(again.code, 0) << again.output;
    const std::string second =
        (dir.path / (std::string("take-2") + std::filesystem::path(name).extension().string())).string();
    EXPECT_NE(again.output.find("recording: " + second), std::string::npos) << again.output;
    EXPECT_EQ(std::filesystem::file_size(first), before);
    SF_INFO info{};
    sf_close(sf_open(second.c_str(), SFM_READ, &info));
    EXPECT_GT(info.frames, 40000) << second;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path / "take-2.wav.au"));
  const CliResult status = RunCli(base + (dir.path / "take.au").string());
  EXPECT_NE(status.output.find(" samples ("), std::string::npos) << status.output;
  EXPECT_NE(status.output.find(" s) to " + (dir.path / "take-3.au").string()), std::string::npos)
      << status.output;
  EXPECT_NE(RunCli(base + (dir.path / "take.mp3").string()).code, 0);
}

TEST(RunCommand, WithoutJackOrAlsaTheMessageSaysWhatEachBackendSaid) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  if (PortAudioDevice().Available()) GTEST_SKIP() << "this machine has an ALSA output device";
  // A server name nobody uses: no JACK server answers.
  const char* server = std::getenv("JACK_DEFAULT_SERVER");
  const std::string saved = server != nullptr ? server : "";
  setenv("JACK_DEFAULT_SERVER", "fretwerk-test-none", 1);
  const CliResult r = RunCli("run --seconds 5");
  const CliResult latency = RunCli("latency < /dev/null");
  if (server != nullptr) {
    setenv("JACK_DEFAULT_SERVER", saved.c_str(), 1);
  } else {
    unsetenv("JACK_DEFAULT_SERVER");
  }
  EXPECT_NE(r.code, 0);
  EXPECT_NE(r.output.find("It seems you use Windows 95"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("JACK: no server running; ALSA: no output device"), std::string::npos) << r.output;
  // First in this system's terms and what to do; the window's text then gives the advice too.
  const std::string inSystemTerms =
      "no JACK server is running and ALSA has no capture device. Start JACK or PipeWire";
  EXPECT_LT(r.output.find(inSystemTerms), r.output.find("It seems you use Windows 95")) << r.output;
  EXPECT_NE(r.output.find("ALSA: no output device\nStart JACK or PipeWire, or play a sound file through the "
                          "effects: fretwerk-cli run --audio virtual --in FILE --out FILE"),
            std::string::npos)
      << r.output;
  EXPECT_EQ(latency.code, 1);
  EXPECT_NE(latency.output.find(inSystemTerms), std::string::npos) << latency.output;
  EXPECT_EQ(latency.output.find("Connect the sound card"), std::string::npos) << latency.output;
}

TEST(RunCommand, SecondsMustBeAFinitePositiveNumber) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  for (const char* seconds : {"nan", "inf", "-1", "0"}) {
    const CliResult r = RunCli(std::string("run --audio virtual --seconds ") + seconds);
    EXPECT_NE(r.code, 0) << seconds;
    EXPECT_EQ(r.output.find("status:"), std::string::npos) << r.output;
  }
}

TEST(RunCommand, PresetAndSettingsAreAppliedAfterStartsOwnPresetClick) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  TempDir dir("fretwerk-run-preset");
  const auto in = WriteGuitarLikeFile(dir.path, 44100);
  const std::string cli = std::getenv("FRETWERK_CLI");
  ASSERT_EQ(std::system((cli + " preset set " + (dir.path / "quiet.pre").string() +
                         " ScrollBar_OutPut_Volume=1 >/dev/null")
                            .c_str()),
            0);
  const std::string base = "run --audio virtual --fast --once --in " + in.string();
  const CliResult loud = RunCli(base + " --out " + (dir.path / "loud.wav").string());
  const CliResult quiet = RunCli(base + " --preset " + (dir.path / "quiet.pre").string() + " --out " +
                                 (dir.path / "quiet.wav").string());
  const CliResult set =
      RunCli(base + " --set ScrollBar_OutPut_Volume=1 --out " + (dir.path / "set.wav").string());
  ASSERT_EQ(loud.code, 0) << loud.output;
  ASSERT_EQ(quiet.code, 0) << quiet.output;
  ASSERT_EQ(set.code, 0) << set.output;
  const float loudPeak = PeakOf(dir.path / "loud.wav");
  EXPECT_GT(loudPeak, 0.1f);
  EXPECT_LT(PeakOf(dir.path / "quiet.wav"), loudPeak / 20.0f);
  EXPECT_LT(PeakOf(dir.path / "set.wav"), loudPeak / 20.0f);
}

TEST(RunCommand, LatencyStepsStopAtAnInterruptAndTheDelayStaysInTheQueue) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  TempDir dir("fretwerk-run-steps");
  const auto in = WriteGuitarLikeFile(dir.path, 44100);
  CliProcess run;
  ASSERT_TRUE(run.Start("run --audio virtual --in " + in.string() + " --latency-steps 2147483647"));
  ASSERT_TRUE(run.ReadUntil("status: Working")) << run.output;
  run.Signal(SIGTERM);
  EXPECT_EQ(run.Wait(), 0) << run.output;
  const auto at = run.output.find("stopped:");
  ASSERT_NE(at, std::string::npos) << run.output;
  const auto delayAt = run.output.find("delay ", at);
  ASSERT_NE(delayAt, std::string::npos);
  EXPECT_LE(std::stoi(run.output.substr(delayAt + 6)), 65536 / 4) << run.output;
}

// The loop-back measurement on the virtual card: the clicks come back after the
// automatic delay (one block at most) and a few samples of the filters that stay in,
// also where the card ran periods before the capture began (a slow session).
TEST(LatencyCommand, MeasuresTheRoundTripOnTheVirtualCard) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  const CliResult r = RunCli("latency --audio virtual --seconds 3");
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

// DMA-direct mode needs about half a minute of the card to find its channels: a
// shorter session still ends on time, its output as long as the session. The legacy
// modes keep real time and refuse --fast.
TEST(RunCommand, ALegacySessionEndsOnTimeWhileTheDetectionWaitsAndRefusesFast) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  const TempDir dir("fretwerk-run-legacy");
  const auto in = WriteGuitarLikeFile(dir.path, 44100);
  const auto out = dir.path / "isa.wav";
  const CliResult r = RunCli("run --audio legacy --legacy-card isa --seconds 2 --in " + in.string() +
                             " --out " + out.string());
  EXPECT_EQ(r.code, 0) << r.output;
  SF_INFO info{};
  SNDFILE* file = sf_open(out.c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr) << r.output;
  sf_close(file);
  const double seconds = static_cast<double>(info.frames) / info.samplerate;
  EXPECT_GT(seconds, 0.5);
  EXPECT_LT(seconds, 10.0) << "the session waited for the whole detection";
  EXPECT_NE(r.output.find("status: Start"), std::string::npos) << r.output;

  const CliResult fast = RunCli("run --audio legacy --legacy-card pci --fast --once --in " + in.string());
  EXPECT_EQ(fast.code, 2) << fast.output;
  EXPECT_NE(fast.output.find("--fast cannot be used with the legacy audio modes"), std::string::npos)
      << fast.output;
}

}  // namespace
}  // namespace fw::test
