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

#include "app/realtime/direct_modes.h"
#include "engine/chain.h"
#include "legacy_rig.h"
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

std::vector<float> SilenceThen(int zeros, const std::vector<float>& signal, int tail) {
  std::vector<float> v(static_cast<std::size_t>(zeros), 0.0f);
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

std::vector<std::int16_t> Played(const LegacyRig& rig) { return ToPcm(rig.card->playedLeft); }

std::size_t FirstNonZero(const std::vector<std::int16_t>& v, std::size_t from = 0) {
  for (std::size_t i = from; i < v.size(); ++i) {
    if (v[i] != 0) return i;
  }
  return v.size();
}

// Records what the chain gets, then runs it as the mode would.
struct BlockRecorder {
  Engine* engine = nullptr;
  std::vector<std::int16_t> input;
  static void Process(void* self, std::int32_t count, std::int16_t* block) noexcept {
    auto& r = *static_cast<BlockRecorder*>(self);
    r.input.insert(r.input.end(), block, block + count);
    ProcessDirectBlock(*r.engine, count, block);
  }
};

TEST(LegacyDirectModes, DetectionFindsTheIsaCardsChannelsPagesAndRings) {
  LegacyRig rig(LayoutFor(LegacyCardKind::Isa), std::vector<float>(3000000, 0.001f), "detect");
  rig.Start(true);
  EXPECT_EQ(rig.Control().mode, AudioMode::DmaDirect);
  EXPECT_EQ(rig.form->Status().SimpleText(), "isa:Simulated ISA card");
  const std::regex report(
      R"(Simulated ISA card d:1,5 p:48,32 i:0\(\d+\),8190\(\d+\) o:0\(\d+\),4095\(\d+\) :4096,4096)");
  EXPECT_TRUE(std::regex_match(rig.Control().hardwareReport, report)) << rig.Control().hardwareReport;
  EXPECT_EQ(rig.Control().Direct()->capacity, 4096);
  rig.form->Btn("Button_STOP_RT").Click();
  EXPECT_EQ(rig.timer.LiveEvents(), 0);
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

TEST(LegacyDirectModes, DmaDirectKeepsTheLeadAndPlaysWhatRenderPlays) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  const std::vector<float> riff = Riff(22050);
  const int zeros = 2000000;
  LegacyRig rig(LayoutFor(LegacyCardKind::Isa), SilenceThen(zeros, riff, 30000), "direct");
  rig.Start(true);
  ASSERT_EQ(rig.Control().mode, AudioMode::DmaDirect) << rig.Control().hardwareReport;
  DirectModes& modes = *rig.Control().Direct();
  BlockRecorder recorder{rig.engine.get(), {}};
  recorder.input.reserve(4000000);
  modes.SetBlockProcessor(&BlockRecorder::Process, &recorder);
  const std::int64_t begun = rig.card->FramesRun();
  ASSERT_LT(begun, zeros - 200000);
  while (rig.card->FramesRun() < zeros + 22050 + 20000) {
    rig.Pump(44);  // 2 ms at 22050 Hz
    {
      RealtimeScope scope;
      rig.timer.Tick();
    }
  }
  EXPECT_EQ(RealtimeViolations(), 0) << FirstRealtimeViolation();
  EXPECT_GT(modes.blocksProcessed.load(), (zeros - begun) / 184 - 10);
  EXPECT_GE(modes.smoothed, 290.0f);
  EXPECT_LE(modes.smoothed, 324.0f);

  // The chain got silence, then the riff; render the same and compare after the delay.
  const std::size_t lead = FirstNonZero(recorder.input);
  ASSERT_LT(lead, recorder.input.size());
  const std::vector<std::int16_t> pcm = ToPcm(riff);
  std::vector<std::int16_t> input(lead - FirstNonZero(pcm), 0);
  input.insert(input.end(), pcm.begin(), pcm.end());
  const std::vector<std::int16_t> rendered = CliRender(input, "--driver direct", "direct");
  const std::vector<std::int16_t> played = Played(rig);
  const std::size_t renderedStart = FirstNonZero(rendered, lead - 184);
  const std::size_t playedStart = FirstNonZero(played, static_cast<std::size_t>(zeros) - 2000);
  ASSERT_LT(playedStart, played.size());
  const std::size_t delay = playedStart - renderedStart;
  int differing = 0;
  for (std::size_t i = renderedStart; i < rendered.size(); ++i) differing += played[i + delay] != rendered[i];
  EXPECT_EQ(differing, 0) << "delay " << delay << " " << rig.Control().hardwareReport;
  for (std::size_t i = renderedStart, shown = 0; i < rendered.size() && shown < 10; ++i) {
    if (played[i + delay] != rendered[i]) {
      ADD_FAILURE() << "at " << i - renderedStart << ": " << played[i + delay] << " vs " << rendered[i];
      ++shown;
    }
  }
  const auto offset = static_cast<double>(zeros) - static_cast<double>(lead - FirstNonZero(pcm));
  const double samples = static_cast<double>(playedStart) - (static_cast<double>(renderedStart) + offset);
  std::printf("[ figures ] DMA-direct: input-to-output delay %.0f samples (%.2f ms)\n", samples,
              samples / 22.05);
  rig.form->Btn("Button_STOP_RT").Click();
  EXPECT_EQ(rig.timer.LiveEvents(), 0);
  EXPECT_EQ(rig.timer.periodsEnded, rig.timer.periodsBegun);
}

TEST(LegacyDirectModes, CommonBufferFindsTheDriverBufferAndFeedsTheLibrary) {
  LegacyRig rig(LayoutFor(LegacyCardKind::PciCommon), Riff(3000000), "common");
  rig.speed = 1;  // the probes see the first transfer of 1024 samples alone
  rig.Start(true);
  ASSERT_EQ(rig.Control().mode, AudioMode::CommonBuffer)
      << (rig.dialogs.messages.empty() ? std::string() : rig.dialogs.messages.back());
  EXPECT_EQ(rig.form->Status().SimpleText().rfind("pci/commo:", 0), 0u);
  DirectModes& modes = *rig.Control().Direct();
  EXPECT_EQ(modes.capacity, 2048);
  EXPECT_EQ(modes.inputRing, LayoutFor(LegacyCardKind::PciCommon).captureRing);
  EXPECT_EQ(rig.timer.events.back().resolution, 1u);
  const std::int64_t before = modes.blocksProcessed.load();
  for (int i = 0; i < 2000; ++i) {
    rig.Pump(22);
    RealtimeScope scope;
    rig.timer.Tick();
  }
  EXPECT_EQ(RealtimeViolations(), 0) << FirstRealtimeViolation();
  // 44,000 samples in blocks of 184, each waiting for the capture to pass it.
  EXPECT_NEAR(static_cast<double>(modes.blocksProcessed.load() - before), 44000.0 / 184.0, 8.0);
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
  rig.speed = 1;  // the probes see the transfers of 128 samples one at a time
  rig.Start(true);
  EXPECT_EQ(rig.Control().mode, AudioMode::Library);
  EXPECT_LT(rig.Control().Direct()->fillCount, 300);
  EXPECT_EQ(rig.form->Status().SimpleText(), "Simulated PCI card");
  EXPECT_EQ(rig.Control().latency, 700);
  rig.form->Btn("Button_STOP_RT").Click();
}

// Ring-0 mode: the installation, then blocks through the realtime thread.
struct Ring0Rig : LegacyRig {
  Ring0Rig(int cardType, std::vector<float> input, const std::string& name)
      : LegacyRig(LayoutFor(LegacyCardKind::Isa), std::move(input), name) {
    form->Group("RadioGroup_NameOfSC").SetItemIndex(cardType);
  }
  void WaitForBlock() {
    while (engine->realtime.ready.load() != 0) std::this_thread::yield();
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
  EXPECT_EQ(rig.Control().realtimeDriver, -1);
  rig.form->Btn("Button_STOP_RT").Click();
  std::ifstream in(ini);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "[386Enh]\ndevice=mokel.vxd\n device=mokel.vxd\n");

  const std::size_t shown = rig.dialogs.messages.size();
  rig.Start(false);
  EXPECT_EQ(rig.dialogs.messages.size(), shown);
  ASSERT_NE(rig.Control().realtimeDriver, -1);
  EXPECT_TRUE(rig.form->Btn("Button_ThreadPS").Enabled());
  rig.Pump(128 * 4);
  rig.WaitForBlock();
  rig.form->Btn("Button_STOP_RT").Click();
  EXPECT_EQ(rig.Control().realtimeDriver, -1);
  EXPECT_EQ(rig.engine->realtime.threadState.load(), 0);
  EXPECT_TRUE(rig.form->Btn("Button_RUN_RT").Enabled());
  std::ifstream again(ini);
  std::string after((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>());
  EXPECT_EQ(after, text);  // installed once
}

TEST(LegacyRing0, PauseStopsTheThreadsBlocksAndContinueResumesThem) {
  Ring0Rig rig(1, Riff(200000), "pause");
  rig.Start(false);  // installs
  rig.form->Btn("Button_STOP_RT").Click();
  rig.Start(false);
  ASSERT_NE(rig.Control().realtimeDriver, -1);
  rig.Pump(128);
  rig.WaitForBlock();
  rig.form->Btn("Button_ThreadPS").Click();
  EXPECT_EQ(rig.form->Btn("Button_ThreadPS").Caption(), "Continue");
  rig.Pump(128);  // the driver's block waits: the thread is suspended
  for (int i = 0; i < 1000; ++i) std::this_thread::yield();
  EXPECT_EQ(rig.engine->realtime.ready.load(), 1);
  rig.form->Btn("Button_ThreadPS").Click();
  EXPECT_EQ(rig.form->Btn("Button_ThreadPS").Caption(), "Pause");
  rig.WaitForBlock();
  rig.form->Btn("Button_STOP_RT").Click();
  EXPECT_EQ(rig.Control().realtimeDriver, -1);
}

// Each card type: the card's output is the render of its input, two blocks later.
void ExpectRing0PlaysWhatRenderPlays(int cardType) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  const std::vector<float> riff = Riff(11025);
  Ring0Rig rig(cardType, SilenceThen(1000, riff, 2048), "ring0-" + std::to_string(cardType));
  rig.Start(false);  // installs
  rig.form->Btn("Button_STOP_RT").Click();
  rig.Start(false);
  ASSERT_NE(rig.Control().realtimeDriver, -1);
  const std::int64_t begun = rig.card->FramesRun();
  while (!rig.card->InputFinished()) {
    rig.Pump(128);
    rig.WaitForBlock();
  }
  rig.form->Btn("Button_STOP_RT").Click();
  const std::vector<std::int16_t> pcm = ToPcm(SilenceThen(1000, riff, 2048));
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

// The realtime thread's loop and the card's driver under the allocation detector.
TEST(LegacyRing0, ThreadAndCardNeitherAllocateNorLock) {
  Ring0Rig rig(1, Riff(50000), "guard");
  rig.Start(false);
  rig.form->Btn("Button_STOP_RT").Click();
  rig.Start(false);
  ASSERT_NE(rig.Control().realtimeDriver, -1);
  // The form's thread is replaced by one under the detector.
  RealtimeShared& shared = rig.engine->realtime;
  shared.runFlag.store(0);
  shared.ready.store(1);
  rig.Control().realtimeEvent.Signal();
  while (shared.threadState.load() != -1) std::this_thread::yield();
  shared.runFlag.store(1);
  ResetRealtimeViolations();
  std::thread guarded([&] {
    RealtimeScope scope;
    RealtimeThreadLoop(*rig.engine, nullptr);
  });
  float in[128] = {}, left[128], right[128];
  for (int b = 0; b < 200; ++b) {
    for (int i = 0; i < 128; ++i) in[i] = 0.1f * std::sin(0.05f * static_cast<float>(b * 128 + i));
    {
      RealtimeScope scope;
      rig.pc->Card().Process(in, left, right, 128);
    }
    while (shared.ready.load() != 0) std::this_thread::yield();
  }
  shared.runFlag.store(0);
  rig.Control().realtimeEvent.Signal();
  guarded.join();
  EXPECT_EQ(RealtimeViolations(), 0) << FirstRealtimeViolation();
  shared.runFlag.store(1);
  rig.form->Btn("Button_STOP_RT").Click();
}

}  // namespace
}  // namespace fw::test
