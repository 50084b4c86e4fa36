// The legacy audio modes on the simulated PC, driven through the window as a user
// does: the direct modes' detection and search, their ticks, ring-0 mode with its
// installation, Pause/Continue and Stop, and each mode's output against
// fretwerk-cli render of the same input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>

#include "audio/realtime_chain.h"
#include "audio/realtime_shared.h"
#include "engine/chain.h"
#include "legacy_rig.h"
#include "modes/direct_modes.h"
#include "modes/ring0_mode.h"
#include "modes/ring_edge.h"
#include "support/realtime_guard.h"

namespace fw::test {
namespace {

std::vector<float> Riff(int samples) {
  std::vector<float> v(static_cast<std::size_t>(samples));
  for (int i = 0; i < samples; ++i) {
    const double t = i / 22050.0;
    v[static_cast<std::size_t>(i)] = static_cast<float>(
        std::round(8000.0 * std::sin(2 * M_PI * 196.0 * t) * std::exp(-2.0 * t)) / 32768.0);
  }
  return v;
}

// Quiet noise (so the buffer search has something to find), then the signal.
std::vector<float> NoiseThen(int quiet, const std::vector<float>& signal, int tail) {
  std::vector<float> v;
  std::uint32_t seed = 1;
  for (int i = 0; i < quiet; ++i) {
    seed = seed * 1664525u + 1013904223u;
    v.push_back(static_cast<float>(static_cast<int>(seed >> 23) - 256) / 32768.0f);
  }
  v.insert(v.end(), signal.begin(), signal.end());
  v.resize(v.size() + static_cast<std::size_t>(tail), 0.0f);
  return v;
}

std::vector<std::int16_t> ToPcm(const std::vector<float>& v) {
  std::vector<std::int16_t> out;
  for (float x : v) out.push_back(static_cast<std::int16_t>(std::lround(x * 32768.0f)));
  return out;
}

// fretwerk-cli render of `input` with the settings Start leaves behind.
std::vector<std::int16_t> CliRender(const std::vector<std::int16_t>& input, const std::string& options,
                                    const std::string& name) {
  const std::string dir = std::filesystem::temp_directory_path() / ("fretwerk-legacy-render-" + name);
  std::filesystem::create_directories(dir);
  {
    std::ofstream raw(dir + "/in.raw", std::ios::binary);
    raw.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size() * 2));
  }
  const std::string command =
      std::string(std::getenv("FRETWERK_CLI")) + " render " + options + " --preset-dir " + BinaryDir() +
      " --set BitBtn_Solo=1 --set CheckBox_DisOldNew=0 " + dir + "/in.raw " + dir + "/out.raw 2>/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream raw(dir + "/out.raw", std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(raw)), std::istreambuf_iterator<char>());
  std::vector<std::int16_t> out(bytes.size() / 2);
  std::memcpy(out.data(), bytes.data(), out.size() * 2);
  return out;
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::int16_t> Played(const LegacyRig& rig) { return ToPcm(rig.card->playedLeft); }

// The card input's first sample of the riff that stands out of the noise.
std::size_t FirstLoud(int quiet, const std::vector<float>& riff) {
  std::size_t i = 0;
  while (i < riff.size() && std::abs(riff[i]) < 1000.0f / 32768.0f) ++i;
  return static_cast<std::size_t>(quiet) + i;
}

// Records what the chain gets, then runs it as the mode would.
struct BlockRecorder {
  Engine* engine = nullptr;
  std::vector<std::int16_t> input;
  std::vector<std::int16_t> output;
  static void Process(void* self, std::int32_t count, std::int16_t* block) noexcept {
    auto& r = *static_cast<BlockRecorder*>(self);
    r.input.insert(r.input.end(), block, block + count);
    ProcessDirectBlock(*r.engine, count, block);
    r.output.insert(r.output.end(), block, block + count);
  }
};

// Records every block the mode hands the chain while the card plays on past the riff,
// with a tick of the timer every `framesPerTick`; returns the frame the recording began.
std::int64_t RecordPastTheRiff(LegacyRig& rig, DirectModes& modes, BlockRecorder& recorder, int quiet,
                               int framesPerTick) {
  recorder.engine = rig.engine.get();
  recorder.input.reserve(4000000);
  recorder.output.reserve(4000000);
  modes.SetBlockProcessor(&BlockRecorder::Process, &recorder);
  const std::int64_t begun = rig.card->FramesRun();
  EXPECT_LT(begun, quiet - 200000);
  while (rig.card->FramesRun() < quiet + 22050 + 20000) {
    rig.Pump(framesPerTick);
    RealtimeScope scope;
    rig.timer.Tick();
  }
  EXPECT_EQ(RealtimeViolations(), 0) << FirstRealtimeViolation();
  return begun;
}

// fretwerk-cli render of exactly what the chain got must equal what the card
// played after the mode's constant delay, found where the riff begins.
void ExpectPlaysWhatRenderPlays(LegacyRig& rig, const std::vector<std::int16_t>& chainInput,
                                std::int64_t begun, std::size_t loudAt, const char* mode) {
  const std::vector<std::int16_t> rendered = CliRender(chainInput, "--driver direct", mode);
  const std::vector<std::int16_t> played = Played(rig);
  ASSERT_EQ(rendered.size(), chainInput.size());
  // The riff's place in the chain's input, then the delay that lines the outputs up.
  std::size_t onset = 0;
  while (onset < chainInput.size() && std::abs(chainInput[onset]) < 1000) ++onset;
  ASSERT_LT(onset + 4096, rendered.size());
  std::size_t delay = 0;
  for (auto d = static_cast<std::size_t>(begun); d < static_cast<std::size_t>(begun) + 20000 && delay == 0;
       ++d) {
    bool same = true;
    for (std::size_t i = onset; i < onset + 4096 && same; ++i) same = played[i + d] == rendered[i];
    if (same) delay = d;
  }
  ASSERT_NE(delay, 0u) << mode << ": no delay lines the outputs up; " << rig.Control().hardwareReport;
  int differing = 0;
  const std::size_t end = std::min(rendered.size(), played.size() - delay);
  for (std::size_t i = onset; i < end; ++i) differing += played[i + delay] != rendered[i];
  EXPECT_GT(end, onset + 20000);
  EXPECT_EQ(differing, 0) << mode;
  // The card's input sample `loudAt` reached the chain at `onset` and left the card
  // at onset + delay.
  const double samples = static_cast<double>(onset + delay) - static_cast<double>(loudAt);
  std::printf("[ figures ] %s: input-to-output delay %.0f samples (%.2f ms)\n", mode, samples,
              samples / 22.05);
}

TEST(LegacyDirectModes, TheHighestActiveChannelWinsAndExtremesStaySinceStart) {
  LegacyCardLayout layout = LayoutFor(LegacyCardKind::Isa);
  layout.playbackChannel = 7;
  LegacyRig rig(layout, std::vector<float>(6000000, 0.001f), "channels");
  // Channel 6 moves through the first detection: 7 beats it for the output, and it
  // beats the card's 1 for the input.
  std::atomic<bool> moving{true};
  rig.pc->Dma().Program(6, 0x400000, 1000);
  std::thread other([&] {
    while (moving.load()) {
      rig.pc->Dma().Transfer(6);
      std::this_thread::yield();
    }
  });
  rig.Start(true);
  moving = false;
  other.join();
  EXPECT_NE(rig.Control().hardwareReport.find(" d:6,7 p:64,32 "), std::string::npos)
      << rig.Control().hardwareReport;
  rig.form->Btn("Button_STOP_RT").Click();
  // Still now, channel 6 keeps the extremes seen since program start.
  rig.Start(true);
  EXPECT_NE(rig.Control().hardwareReport.find(" d:6,7 "), std::string::npos) << rig.Control().hardwareReport;
  rig.form->Btn("Button_STOP_RT").Click();
}

// Detection, then the ticks: blocks through the chain, the lead held near 307.
// A loaded machine preempts the measuring thread as the channel passes its ring's end:
// most windows then saw a highest position short of it (a period short, here), and the
// end is still the furthest value more than one window saw. An idle machine's most
// common value stays, and so does a clear majority against a lone stray read.
TEST(LegacyDirectModes, TheRingsEdgesSurviveAPreemptedMeasurement) {
  std::int32_t value = 0, share = 0;
  RingEdge({8190, 7936, 7936, 8100, 7936, 8190, 7936, 8062, 8000}, true, value, share);
  EXPECT_EQ(value, 8190);
  EXPECT_EQ(share, 22);
  RingEdge({8190, 8190, 8190, 9000, 8190}, true, value, share);
  EXPECT_EQ(value, 8190);
  RingEdge({256, 0, 256, 256, 0, 512, 256}, false, value, share);
  EXPECT_EQ(value, 256);  // over half the windows: the most common stays
  RingEdge({256, 0, 512, 256, 0, 768, 1024}, false, value, share);
  EXPECT_EQ(value, 0);
}

TEST(LegacyDirectModes, DmaDirectFindsTheCardKeepsTheLeadAndPlaysWhatRenderPlays) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  const std::vector<float> riff = Riff(22050);
  const int quiet = 1500000;
  LegacyRig rig(LayoutFor(LegacyCardKind::Isa), NoiseThen(quiet, riff, 30000), "direct");
  rig.Start(true);
  ASSERT_EQ(rig.Control().mode, AudioMode::DmaDirect) << rig.Control().hardwareReport;
  EXPECT_EQ(rig.form->Status().SimpleText(), "isa:Simulated ISA card");
  const std::regex report(
      R"(Simulated ISA card d:1,5 p:48,32 i:0\(\d+\),8190\(\d+\) o:0\(\d+\),4095\(\d+\) :4096,4096)");
  EXPECT_TRUE(std::regex_match(rig.Control().hardwareReport, report)) << rig.Control().hardwareReport;
  DirectModes& modes = *rig.Control().Direct();
  EXPECT_EQ(modes.capacity, 4096);
  BlockRecorder recorder;
  const std::int64_t begun = RecordPastTheRiff(rig, modes, recorder, quiet, 44);  // 2 ms at 22050 Hz
  EXPECT_GT(modes.blocksProcessed.load(), (quiet - begun) / 184 - 10);
  EXPECT_GE(modes.smoothed, 290.0f);
  EXPECT_LE(modes.smoothed, 324.0f);

  ExpectPlaysWhatRenderPlays(rig, recorder.input, begun, FirstLoud(quiet, riff), "DMA-direct");
  rig.form->Btn("Button_STOP_RT").Click();
  EXPECT_EQ(rig.timer.LiveEvents(), 0);
  EXPECT_EQ(rig.timer.periodsEnded, rig.timer.periodsBegun);
}

TEST(LegacyDirectModes, CommonBufferFindsTheDriverBufferAndSendsTheRenderToTheLibrary) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  const std::vector<float> riff = Riff(22050);
  const int quiet = 1500000;
  LegacyRig rig(LayoutFor(LegacyCardKind::PciCommon), NoiseThen(quiet, riff, 30000), "common");
  rig.Start(true);
  ASSERT_EQ(rig.Control().mode, AudioMode::CommonBuffer)
      << (rig.dialogs.messages.empty() ? std::string() : rig.dialogs.messages.back());
  EXPECT_EQ(rig.form->Status().SimpleText(), "pci/commo:Simulated PCI card (common)");
  DirectModes& modes = *rig.Control().Direct();
  EXPECT_EQ(modes.capacity, 2048);
  EXPECT_EQ(modes.inputRing, LayoutFor(LegacyCardKind::PciCommon).captureRing);
  EXPECT_EQ(rig.timer.events.back().resolution, 1u);
  BlockRecorder recorder;
  const std::int64_t begun = RecordPastTheRiff(rig, modes, recorder, quiet, 22);
  // Each block waits for the capture to pass it, so the blocks keep pace with the card.
  EXPECT_NEAR(static_cast<double>(modes.blocksProcessed.load()),
              static_cast<double>(rig.card->FramesRun() - begun) / 184.0, 30.0);
  // The blocks handed to the output library are the render of what the chain got;
  // the library then plays them with its own buffering (and resampling).
  const std::vector<std::int16_t> rendered = CliRender(recorder.input, "--driver direct", "common");
  EXPECT_TRUE(rendered == recorder.output);
  float loudest = 0.0f;
  for (std::size_t i = FirstLoud(quiet, riff); i < rig.card->playedLeft.size(); ++i) {
    loudest = std::max(loudest, std::abs(rig.card->playedLeft[i]));
  }
  EXPECT_GT(loudest, 0.1f);
  rig.form->Btn("Button_STOP_RT").Click();
  EXPECT_EQ(rig.timer.LiveEvents(), 0);
}

TEST(LegacyDirectModes, BufferSearchMatchesAtTheFirstWordOfARegion) {
  LegacyRig rig(LayoutFor(LegacyCardKind::Isa), {}, "search");
  DirectModes& modes = *rig.Control().Direct();
  for (int j = 0; j < 12; ++j) modes.regions[j] = static_cast<std::int32_t>(PhysicalMemory::RegionAddress(j));
  const std::int32_t snapshot[6] = {11, 22, 33, 44, 55, 66};
  const std::uint32_t at = PhysicalMemory::RegionAddress(1);
  for (int w = 0; w < 6; ++w) rig.pc->Memory().StoreWord(at + 4 * static_cast<std::uint32_t>(w), snapshot[w]);
  int region = -1;
  std::int32_t offset = 0;
  ASSERT_TRUE(modes.FindBuffer(snapshot, 1, 1024, region, offset));
  EXPECT_EQ(region, 1);
  EXPECT_EQ(offset, 0 + 6 - 512 * 2);
  const std::int32_t absent[6] = {7, 7, 7, 7, 7, 7};
  EXPECT_FALSE(modes.FindBuffer(absent, 0, 1024, region, offset));
}

// A first transfer under 300 samples: the usual library mode, Optimisation or not.
TEST(LegacyDirectModes, APciCardWithSmallTransfersStaysInLibraryMode) {
  LegacyRig rig(LayoutFor(LegacyCardKind::Pci), Riff(400000), "pci");
  rig.Start(true);
  EXPECT_EQ(rig.Control().mode, AudioMode::Library);
  EXPECT_LT(rig.Control().Direct()->fillCount, 300);
  EXPECT_EQ(rig.form->Status().SimpleText(), "Simulated PCI card");
  EXPECT_EQ(rig.Control().latency, 700);
  rig.form->Btn("Button_STOP_RT").Click();
}

// Presses Stop from inside the tick, between its busy flag's setting and clearing.
struct StopInsideTheTick {
  TForm1* form = nullptr;
  int blocks = 0;
  static void Process(void* self, std::int32_t, std::int16_t*) noexcept {
    auto& s = *static_cast<StopInsideTheTick*>(self);
    if (s.blocks++ == 0) s.form->Btn("Button_STOP_RT").Click();
  }
};

// Twenty starts, each stopped inside its first tick: every start processes blocks.
// Each start runs the whole detection on the simulated PC: the sanitized trees, many
// times slower, look for memory and thread faults in three.
#ifdef FRETWERK_SANITIZED
constexpr int kStartCycles = 3;
#else
constexpr int kStartCycles = 20;
#endif
void ExpectEveryStartRunsAfterAStopInsideTheTick(LegacyCardKind kind, AudioMode expected, int framesPerTick) {
  // Noise enough for every cycle: the common-buffer search finds its buffer only in sound.
  LegacyRig rig(LayoutFor(kind), NoiseThen(4000000, Riff(22050), 0),
                "cycles-" + std::to_string(static_cast<int>(kind)), true);
  for (int cycle = 0; cycle < kStartCycles; ++cycle) {
    rig.Start(true);
    ASSERT_EQ(rig.Control().mode, expected) << "start " << cycle;
    DirectModes& modes = *rig.Control().Direct();
    StopInsideTheTick stopper{rig.form.get()};
    modes.SetBlockProcessor(&StopInsideTheTick::Process, &stopper);
    for (int tick = 0; tick < 40000 && stopper.blocks == 0; ++tick) {
      rig.Pump(framesPerTick);
      rig.timer.Tick();
    }
    ASSERT_EQ(stopper.blocks, 1) << "start " << cycle << " processed no block";
    EXPECT_EQ(rig.Control().mode, AudioMode::None);
    EXPECT_EQ(rig.timer.LiveEvents(), 0);
  }
}

TEST(LegacyDirectModes, DmaDirectStartsCleanAfterEveryStopInsideTheTick) {
  ExpectEveryStartRunsAfterAStopInsideTheTick(LegacyCardKind::Isa, AudioMode::DmaDirect, 44);
}
TEST(LegacyDirectModes, CommonBufferStartsCleanAfterEveryStopInsideTheTick) {
  ExpectEveryStartRunsAfterAStopInsideTheTick(LegacyCardKind::PciCommon, AudioMode::CommonBuffer, 22);
}

// Input that never reaches the search: it gives up with its message instead of
// holding the window thread for ever.
TEST(LegacyDirectModes, ABufferSearchWithoutInputGivesUpWithTheNotFoundMessage) {
  LegacyRig rig(LayoutFor(LegacyCardKind::PciCommon), NoiseThen(400000, Riff(22050), 0), "search-wait", true);
  DirectModes& modes = *rig.Control().Direct();
  modes.searchWait = std::chrono::milliseconds(100);
  rig.hold = [&modes] { return modes.Searching(); };
  rig.Start(true);
  ASSERT_FALSE(rig.dialogs.messages.empty());
  EXPECT_EQ(rig.dialogs.messages.back(), "Error 404. Contact with author.");
  EXPECT_EQ(rig.system.programEnds, 1);
  EXPECT_FALSE(modes.Searching());
  EXPECT_EQ(rig.timer.LiveEvents(), 0);
}

// Ring-0 mode: the installation, then blocks through the realtime thread.
struct Ring0Rig : LegacyRig {
  Ring0Rig(int cardType, std::vector<float> input, const std::string& name)
      : LegacyRig(LayoutFor(LegacyCardKind::Isa), std::move(input), name) {
    form->Group("RadioGroup_NameOfSC").SetItemIndex(cardType);
  }
  // The realtime thread has taken the block; false after ten seconds without it.
  bool WaitForBlock() {
    return SpinUntil([&] { return form->io.realtime.ready.load() == 0; });
  }
};

TEST(LegacyRing0, InstallsTheDriverLineOnceThenRunsAndReleases) {
  Ring0Rig rig(1, Riff(200000), "install");
  const auto ini = rig.sandbox / "legacy-pc/WINDOWS/system.ini";
  {
    std::ofstream file(ini, std::ios::trunc);
    file << "[386Enh]\n device=mokel.vxd\n";  // preceded by a blank: not the line
  }
  rig.Start(false);
  ASSERT_FALSE(rig.dialogs.messages.empty());
  EXPECT_EQ(rig.dialogs.messages.back(),
            "Realtime is enabled!\n\rNow, close all applications and restart Windows!");
  EXPECT_TRUE(rig.form->Btn("Button_STOP_RT").Enabled());
  EXPECT_EQ(rig.Control().Ring0().driver, -1);
  rig.form->Btn("Button_STOP_RT").Click();
  const std::string text = ReadAll(ini);
  EXPECT_EQ(text, "[386Enh]\ndevice=mokel.vxd\n device=mokel.vxd\n");

  const std::size_t shown = rig.dialogs.messages.size();
  rig.Start(false);
  EXPECT_EQ(rig.dialogs.messages.size(), shown);
  ASSERT_NE(rig.Control().Ring0().driver, -1);
  EXPECT_TRUE(rig.form->Btn("Button_ThreadPS").Enabled());
  rig.Pump(128 * 4);
  EXPECT_TRUE(rig.WaitForBlock());
  rig.form->Btn("Button_STOP_RT").Click();
  EXPECT_EQ(rig.Control().Ring0().driver, -1);
  EXPECT_EQ(rig.form->io.realtime.threadState.load(), 0);
  EXPECT_TRUE(rig.form->Btn("Button_RUN_RT").Enabled());
  EXPECT_EQ(ReadAll(ini), text);  // installed once
  // The backup of the system's own file survives the later starts.
  EXPECT_EQ(ReadAll(rig.sandbox / "legacy-pc/WINDOWS/system.old"), "[386Enh]\n device=mokel.vxd\n");
}

// A Windows directory longer than the system's buffer is refused, not cut short.
TEST(LegacyRing0, AnOverLongWindowsDirectoryIsRefusedWithItsPath) {
  const std::string deep = "long/" + std::string(130, 'x') + "/" + std::string(130, 'y');
  Ring0Rig rig(1, Riff(2000), deep);
  rig.Start(false);
  ASSERT_FALSE(rig.dialogs.errors.empty());
  EXPECT_NE(rig.dialogs.errors.back().find("the path is longer than 255 characters"), std::string::npos)
      << rig.dialogs.errors.back();
  EXPECT_EQ(ReadAll(rig.sandbox / "legacy-pc/WINDOWS/system.ini").find("device=mokel.vxd"),
            std::string::npos);
  rig.form->Btn("Button_STOP_RT").Click();
}

TEST(LegacyRing0, PauseStopsTheThreadsBlocksAndContinueResumesThem) {
  Ring0Rig rig(1, Riff(200000), "pause");
  rig.Start(false);  // installs
  rig.form->Btn("Button_STOP_RT").Click();
  rig.Start(false);
  ASSERT_NE(rig.Control().Ring0().driver, -1);
  rig.Pump(128);
  EXPECT_TRUE(rig.WaitForBlock());
  rig.form->Btn("Button_ThreadPS").Click();
  EXPECT_EQ(rig.form->Btn("Button_ThreadPS").Caption(), "Continue");
  rig.Pump(128);  // the driver's block waits: the thread is suspended
  for (int i = 0; i < 1000; ++i) std::this_thread::yield();
  EXPECT_EQ(rig.form->io.realtime.ready.load(), 1);
  rig.form->Btn("Button_ThreadPS").Click();
  EXPECT_EQ(rig.form->Btn("Button_ThreadPS").Caption(), "Pause");
  EXPECT_TRUE(rig.WaitForBlock());
  rig.form->Btn("Button_STOP_RT").Click();
  EXPECT_EQ(rig.Control().Ring0().driver, -1);
}

// Each card type: the card's output is the render of its input, two blocks later.
void ExpectRing0PlaysWhatRenderPlays(int cardType) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  const std::vector<float> riff = Riff(11025);
  Ring0Rig rig(cardType, NoiseThen(1000, riff, 2048), "ring0-" + std::to_string(cardType));
  rig.Start(false);  // installs
  rig.form->Btn("Button_STOP_RT").Click();
  rig.Start(false);
  ASSERT_NE(rig.Control().Ring0().driver, -1);
  const std::int64_t begun = rig.card->FramesRun();
  while (!rig.card->InputFinished()) {
    rig.Pump(128);
    ASSERT_TRUE(rig.WaitForBlock()) << "the realtime thread stopped taking blocks";
  }
  rig.form->Btn("Button_STOP_RT").Click();
  const std::vector<std::int16_t> pcm = ToPcm(NoiseThen(1000, riff, 2048));
  const std::vector<std::int16_t> input(pcm.begin() + begun, pcm.end());
  const std::vector<std::int16_t> rendered =
      CliRender(input, "--driver realtime --block 128 --card-type " + std::to_string(cardType),
                "ring0-" + std::to_string(cardType));
  const std::vector<std::int16_t> played = Played(rig);
  int differing = 0;
  const std::size_t frames =
      std::min(rendered.size() / 2, played.size() - static_cast<std::size_t>(begun) - 256);
  for (std::size_t i = 0; i < frames; ++i) {
    differing += played[static_cast<std::size_t>(begun) + 256 + i] != rendered[2 * i];
  }
  EXPECT_GT(frames, 10000u);
  EXPECT_EQ(differing, 0);
}

TEST(LegacyRing0, SpinningCardTypePlaysWhatRenderPlays) { ExpectRing0PlaysWhatRenderPlays(0); }
TEST(LegacyRing0, SignallingCardTypePlaysWhatRenderPlays) { ExpectRing0PlaysWhatRenderPlays(1); }

// Twenty starts of each card type, each stopped while the thread has a block.
TEST(LegacyRing0, EveryStartAfterAStopTakesBlocks) {
  for (const int cardType : {0, 1}) {
    Ring0Rig rig(cardType, Riff(200000), "ring0-cycles-" + std::to_string(cardType));
    rig.Start(false);  // installs
    rig.form->Btn("Button_STOP_RT").Click();
    for (int cycle = 0; cycle < kStartCycles; ++cycle) {
      rig.Start(false);
      ASSERT_NE(rig.Control().Ring0().driver, -1) << "start " << cycle;
      rig.Pump(128);
      ASSERT_TRUE(rig.WaitForBlock()) << "card type " << cardType << ", start " << cycle;
      rig.Pump(128);
      rig.form->Btn("Button_STOP_RT").Click();
      EXPECT_EQ(rig.form->io.realtime.threadState.load(), 0);
    }
  }
}

// Card type 0 waits for the ready word without holding a core: once no block comes,
// the thread sleeps on the word until the card sets it.
TEST(LegacyRing0, TheSpinningCardTypeSleepsWhileNoBlockComes) {
  Ring0Rig rig(0, Riff(50000), "ring0-sleep");
  rig.Start(false);  // installs
  rig.form->Btn("Button_STOP_RT").Click();
  rig.Start(false);
  ASSERT_NE(rig.Control().Ring0().driver, -1);
  RealtimeShared& shared = rig.form->io.realtime;
  EXPECT_TRUE(SpinUntil([&] { return shared.readySleepers.load() == 1; })) << "the thread spins";
  rig.Pump(128);
  EXPECT_TRUE(rig.WaitForBlock()) << "the card's wake did not reach the thread";
  rig.form->Btn("Button_STOP_RT").Click();
  EXPECT_EQ(shared.readySleepers.load(), 0);
}

// The realtime thread's loop and the card's driver under the allocation detector.
TEST(LegacyRing0, ThreadAndCardNeitherAllocateNorLock) {
  Ring0Rig rig(1, Riff(50000), "guard");
  rig.Start(false);
  rig.form->Btn("Button_STOP_RT").Click();
  rig.Start(false);
  ASSERT_NE(rig.Control().Ring0().driver, -1);
  // The form's thread is replaced by one under the detector.
  RealtimeShared& shared = rig.form->io.realtime;
  shared.runFlag.store(0);
  shared.ready.store(1);
  rig.Control().Ring0().event.Signal();
  ASSERT_TRUE(SpinUntil([&] { return shared.threadState.load() == -1; })) << "the form's thread did not end";
  shared.runFlag.store(1);
  ResetRealtimeViolations();
  std::thread guarded([&] {
    RealtimeScope scope;
    RealtimeThreadLoop(*rig.engine, shared, nullptr);
  });
  float in[128] = {}, left[128], right[128];
  for (int b = 0; b < 200; ++b) {
    for (int i = 0; i < 128; ++i) in[i] = 0.1f * std::sin(0.05f * static_cast<float>(b * 128 + i));
    {
      RealtimeScope scope;
      rig.pc->Card().Process(in, left, right, 128);
    }
    if (!SpinUntil([&] { return shared.ready.load() == 0; })) {
      ADD_FAILURE() << "the guarded thread stopped taking blocks";
      break;
    }
  }
  shared.runFlag.store(0);
  rig.Control().Ring0().event.Signal();
  guarded.join();
  EXPECT_EQ(RealtimeViolations(), 0) << FirstRealtimeViolation();
  shared.runFlag.store(1);
  rig.form->Btn("Button_STOP_RT").Click();
}

}  // namespace
}  // namespace fw::test
