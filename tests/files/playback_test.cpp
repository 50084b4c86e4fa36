#include <gtest/gtest.h>

#include <vector>

#include "app/pages/file_pages.h"
#include "core/rounding.h"
#include "engine/chain.h"
#include "files/file_player.h"
#include "files/files_test_support.h"
#include "support/engine_fixture.h"

namespace fw {
namespace {

// The direct driver with 184-sample blocks: 120 blocks per cycle, request 2 after
// block 10 and request 1 after block 70, halves of 11040 samples.
constexpr int kBlock = 184;
constexpr int kChunk = 11040;

std::vector<std::int16_t> Ramp(int count, int start, int step = 1) {
  std::vector<std::int16_t> v(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    v[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(start + step * (i % 9000));
  return v;
}

struct PlaybackFixture {
  test::FormFixture f;
  test::TempDir dir;
  std::vector<std::int16_t> output;  // every output sample of the chain so far

  PlaybackFixture() {
    form().Btn("Button_RUN_RT").SetEnabled(false);  // real-time processing runs
    params().RealtimeBlockLength.store(128);
    params().FileReadChunk.store(kChunk);
  }
  TForm1& form() { return *f.form; }
  EngineParams& params() { return f.engine->params; }
  std::int16_t Buffer(int i) const { return f.engine->file.At(i); }

  std::string File(const std::string& name, const std::vector<std::int16_t>& samples,
                   bool bigEndian = false) {
    const std::string path = dir / name;
    test::WriteSamples(path, samples, bigEndian);
    return path;
  }
  void OpenA(const std::string& path) {
    f.dialogs.fileAnswers.push_back(path);
    form().Btn("Button3").Click();
  }
  void OpenB(const std::string& path) {
    f.dialogs.fileAnswers.push_back(path);
    form().Btn("BitBtn_open_wav_2").Click();
  }
  void Play() { form().Btn("BitBtn1").Click(); }
  void ReaderTick() { f.loop.AdvanceBy(100, f.clock); }

  // One block of constant live input; the reader serves a request before the next block.
  void Block(std::int16_t live = 0) {
    std::vector<std::int16_t> block(kBlock, live);
    ProcessDirectBlock(*f.engine, kBlock, block.data());
    output.insert(output.end(), block.begin(), block.end());
    if (params().FileRefillRequest.load() != 0) ReaderTick();
  }
  void Blocks(int count, std::int16_t live = 0) {
    for (int i = 0; i < count; ++i) Block(live);
  }
};

TEST(PlaybackPage, ControlsAndTheirInitialStates) {
  test::FormFixture f;
  TForm1& form = *f.form;
  EXPECT_EQ(form.Btn("Button3").Caption(), "Open WAV");
  EXPECT_EQ(form.Btn("BitBtn1").Caption(), " &Play");
  EXPECT_FALSE(form.Btn("BitBtn1").Enabled());
  EXPECT_EQ(form.Btn("Button4").Caption(), "Stop");
  EXPECT_FALSE(form.Btn("Button4").Enabled());
  EXPECT_EQ(form.Btn("BitBtn_open_wav_2").Caption(), "Open WAV 2");
  EXPECT_FALSE(form.Btn("BitBtn_open_wav_2").Visible());
  EXPECT_FALSE(form.Btn("BitBtn_open_wav_2").Enabled());
  EXPECT_EQ(form.Bar("ScrollBar_wav_file_gain").Position(), 25);
  EXPECT_EQ(form.Bar("ScrollBar_wav_file_gain").Max(), 100);
  EXPECT_EQ(form.Get<ui::Label>("Label_wav_file_gain").Caption(), "WAV file signal volume");
  EXPECT_EQ(form.GetTimer("Timer_read_wav_file").Interval(), 100);
  EXPECT_FALSE(form.GetTimer("Timer_read_wav_file").Enabled());
  EXPECT_FLOAT_EQ(f.engine->params.WavFileGain.load(), 1.0f);
}

TEST(PlaybackPage, OpenNeedsRealtimeProcessing) {
  test::FormFixture f;
  f.form->Btn("Button3").Click();
  EXPECT_EQ(f.dialogs.messages,
            (std::vector<std::string>{"At first you must go to Realtime section and press Start button."}));
  EXPECT_TRUE(f.dialogs.fileRequests.empty());
  EXPECT_FALSE(f.form->Btn("BitBtn1").Enabled());
}

TEST(PlaybackPage, OpenPreReadsThenLeavesTheBufferSilentAndTheGainsReady) {
  PlaybackFixture p;
  p.params().OutputGain.store(0.75f);
  p.OpenA(p.dir / "missing.wav");  // fails silently
  EXPECT_TRUE(p.f.dialogs.messages.empty());
  EXPECT_TRUE(p.form().Btn("Button3").Enabled());
  ASSERT_EQ(p.f.dialogs.fileRequests.size(), 1u);
  EXPECT_EQ(p.f.dialogs.fileRequests[0].title, "Open WAV file");
  EXPECT_EQ(p.f.dialogs.fileRequests[0].filter, "wav files|*.wav|sound files|*.wav *.au *.AU");

  p.OpenA(p.File("long.wav", Ramp(60000, 1)));
  EXPECT_TRUE(p.form().Btn("BitBtn1").Enabled());
  EXPECT_FALSE(p.form().Btn("Button3").Enabled());
  EXPECT_FLOAT_EQ(p.params().OutputGain.load(), 0.75f);
  EXPECT_FLOAT_EQ(p.params().WavFileGain.load(), 0.0f);
  for (int i = 0; i < FileBuffer::kCapacity; ++i) ASSERT_EQ(p.Buffer(i), 0) << i;
}

// Request 2 fills the second half with the file's start while the chain reads
// the first; request 1 then fills the first half with what follows.
TEST(Playback, RequestsAreServedHalfByHalf) {
  PlaybackFixture p;
  const auto samples = Ramp(3 * kChunk, 1);
  p.OpenA(p.File("take.wav", samples));
  p.Play();
  EXPECT_TRUE(p.form().GetTimer("Timer_read_wav_file").Enabled());
  EXPECT_TRUE(p.form().Btn("Button4").Enabled());
  EXPECT_FALSE(p.form().Btn("BitBtn1").Enabled());
  EXPECT_FLOAT_EQ(p.params().WavFileGain.load(), 1.0f);

  p.Blocks(10);
  EXPECT_EQ(p.params().FileRefillRequest.load(), 0);  // served by the tick
  for (int i = 0; i < kChunk; ++i) ASSERT_EQ(p.Buffer(i), 0) << i;
  for (int i = 0; i < kChunk; ++i) ASSERT_EQ(p.Buffer(kChunk + i), samples[static_cast<std::size_t>(i)]) << i;

  p.Blocks(60);  // counter reaches 70: request 1
  EXPECT_EQ(p.params().FileRefillRequest.load(), 0);
  for (int i = 0; i < kChunk; ++i) ASSERT_EQ(p.Buffer(i), samples[static_cast<std::size_t>(kChunk + i)]) << i;
  for (int i = 0; i < kChunk; ++i) ASSERT_EQ(p.Buffer(kChunk + i), samples[static_cast<std::size_t>(i)]) << i;
}

// Mixed after the effects, the file reaches the output sample for sample from the
// block that first reads the refilled second half (block 60 of the cycle).
TEST(Playback, FileAfterTheEffectsReachesTheOutputAtItsBlock) {
  PlaybackFixture p;
  const auto samples = Ramp(5 * kChunk, -4000);
  p.OpenA(p.File("take.wav", samples));
  p.Play();
  p.Blocks(240);
  for (std::size_t i = 0; i < 60 * kBlock; ++i) ASSERT_EQ(p.output[i], 0) << i;
  for (std::size_t i = 60 * kBlock; i < p.output.size(); ++i) {
    ASSERT_EQ(p.output[i], samples[i - 60 * kBlock]) << i;
  }
}

// Mixed before the effects, the file is processed exactly as live input carrying
// the same samples would be.
TEST(Playback, FileBeforeTheEffectsIsProcessedLikeInput) {
  PlaybackFixture p;
  p.form().Box("CheckBox_wav_via_effects").Click();
  const auto samples = Ramp(3 * kChunk, 2000, 3);
  p.OpenA(p.File("take.wav", samples));
  p.Play();
  p.Blocks(150);

  auto reference = MakeEngine();
  reference->params.RealtimeBlockLength.store(128);
  reference->params.LiveInputFactor.store(1.0f);
  std::vector<std::int16_t> expected;
  for (int b = 0; b < 150; ++b) {
    std::vector<std::int16_t> block(kBlock, 0);
    for (int i = 0; i < kBlock; ++i) {
      const int at = b * kBlock + i - 60 * kBlock;
      if (at >= 0) block[static_cast<std::size_t>(i)] = samples[static_cast<std::size_t>(at)];
    }
    ProcessDirectBlock(*reference, kBlock, block.data());
    expected.insert(expected.end(), block.begin(), block.end());
  }
  ASSERT_EQ(p.output.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(p.output[i], expected[i]) << i;
}

TEST(Playback, SlotALoopsFromByte128) {
  PlaybackFixture p;
  const auto samples = Ramp(kChunk + 100, 1);
  p.OpenA(p.File("short.wav", samples));
  p.Play();
  p.Blocks(70);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(p.Buffer(i), samples[static_cast<std::size_t>(kChunk + i)]) << i;
  // The first 64 samples (a header's 128 bytes) are skipped from the second pass on.
  for (int i = 100; i < kChunk; ++i)
    ASSERT_EQ(p.Buffer(i), samples[static_cast<std::size_t>(64 + i - 100)]) << i;
}

TEST(Playback, SlotBWrapsToByteZeroAndKeepsTheRestOfTheHalf) {
  PlaybackFixture p;
  const auto a = Ramp(3 * kChunk, 1);
  const auto b = Ramp(100, -500);
  p.OpenA(p.File("a.wav", a));
  p.OpenB(p.File("b.wav", b));
  p.Play();
  p.Blocks(10);  // the second half from slot A
  SelectPlaybackSlot(p.form(), FilePlayer::kSlotB);
  p.Blocks(60);  // the first half from slot B: 100 samples, the rest as it was
  for (int i = 0; i < 100; ++i) ASSERT_EQ(p.Buffer(i), b[static_cast<std::size_t>(i)]) << i;
  for (int i = 100; i < kChunk; ++i) ASSERT_EQ(p.Buffer(i), 0) << i;
  p.Blocks(60);  // request 2 again: slot B starts over from byte 0
  for (int i = 0; i < 100; ++i) ASSERT_EQ(p.Buffer(kChunk + i), b[static_cast<std::size_t>(i)]) << i;
  for (int i = 100; i < kChunk; ++i) ASSERT_EQ(p.Buffer(kChunk + i), a[static_cast<std::size_t>(i)]) << i;
}

TEST(Playback, NamesWithAuAreByteSwapped) {
  PlaybackFixture p;
  const auto samples = Ramp(3 * kChunk, 300, 7);
  p.OpenA(p.File("take.AU.wav", samples, /*bigEndian=*/true));
  p.Play();
  p.Blocks(10);
  for (int i = 0; i < kChunk; ++i) ASSERT_EQ(p.Buffer(kChunk + i), samples[static_cast<std::size_t>(i)]) << i;

  // The same bytes under a plain name are taken as little-endian.
  PlaybackFixture q;
  const std::string plain = q.File("take.wav", samples, /*bigEndian=*/true);
  q.OpenA(plain);
  q.Play();
  q.Blocks(10);
  const auto swapped = static_cast<std::int16_t>(
      static_cast<std::uint16_t>(((static_cast<std::uint16_t>(samples[0]) & 0xFF) << 8) |
                                 (static_cast<std::uint16_t>(samples[0]) >> 8)));
  EXPECT_EQ(q.Buffer(kChunk), swapped);
}

TEST(Playback, GainScrollBarAppliesAfterPlay) {
  PlaybackFixture p;
  const auto samples = Ramp(3 * kChunk, 1000);
  p.OpenA(p.File("take.wav", samples));
  p.form().Bar("ScrollBar_wav_file_gain").SetPosition(10);
  p.Play();  // play sets unity gain whatever the bar shows
  EXPECT_FLOAT_EQ(p.params().WavFileGain.load(), 1.0f);
  p.Blocks(60);
  p.form().Bar("ScrollBar_wav_file_gain").SetPosition(50);
  EXPECT_FLOAT_EQ(p.params().WavFileGain.load(), 2.0f);
  p.Block();
  for (int i = 0; i < kBlock; ++i) {
    ASSERT_EQ(p.output[static_cast<std::size_t>(60 * kBlock + i)], 2 * samples[static_cast<std::size_t>(i)])
        << i;
  }
  p.form().Bar("ScrollBar_wav_file_gain").SetPosition(0);
  p.Block();
  for (int i = 0; i < kBlock; ++i) ASSERT_EQ(p.output[static_cast<std::size_t>(61 * kBlock + i)], 0) << i;
}

TEST(Playback, MuteLiveInputLeavesTheFileNearlyAlone) {
  PlaybackFixture p;
  p.form().Box("CheckBox_Mute_Live_Input").Click();
  EXPECT_FLOAT_EQ(p.params().LiveInputFactor.load(), 0.001f);
  const auto samples = Ramp(3 * kChunk, 5000);
  p.OpenA(p.File("take.wav", samples));
  p.Play();
  p.Blocks(61, 10000);
  // 10000 x 0.001 of live input is heard beside the file: tolerance 60 for the
  // gain of the always-on filters on that small offset.
  for (int i = 0; i < kBlock; ++i) {
    ASSERT_NEAR(p.output[static_cast<std::size_t>(60 * kBlock + i)], samples[static_cast<std::size_t>(i)], 60)
        << i;
  }
  p.form().Box("CheckBox_Mute_Live_Input").Click();
  EXPECT_FLOAT_EQ(p.params().LiveInputFactor.load(), 1.001f);
}

TEST(Playback, RightClicksSwitchSlotsWhilePlaying) {
  PlaybackFixture p;
  const auto a = Ramp(3 * kChunk, 100);
  const auto b = Ramp(3 * kChunk, -100, -1);
  p.OpenA(p.File("a.wav", a));
  p.OpenB(p.File("b.wav", b));
  p.Play();
  p.Blocks(10);
  EXPECT_EQ(SwitchPlaybackSlot(p.form()), FilePlayer::kSlotB);
  EXPECT_EQ(p.form().Status().SimpleText(), "File=B");
  p.Blocks(60);
  for (int i = 0; i < kChunk; ++i) ASSERT_EQ(p.Buffer(i), b[static_cast<std::size_t>(i)]) << i;
  EXPECT_EQ(SwitchPlaybackSlot(p.form()), FilePlayer::kSlotA);
  EXPECT_EQ(p.form().Status().SimpleText(), "File=A");
  p.Blocks(60);  // slot A goes on where it was
  for (int i = 0; i < kChunk; ++i)
    ASSERT_EQ(p.Buffer(kChunk + i), a[static_cast<std::size_t>(kChunk + i)]) << i;
}

TEST(Playback, ASlotWithoutFilePlaysSilence) {
  PlaybackFixture p;
  p.OpenA(p.File("a.wav", Ramp(3 * kChunk, 100)));
  p.Play();
  p.Blocks(10);
  SelectPlaybackSlot(p.form(), FilePlayer::kSlotB);
  p.Blocks(60);
  EXPECT_EQ(p.params().FileRefillRequest.load(), 0);
  for (int i = 0; i < kChunk; ++i) ASSERT_EQ(p.Buffer(i), 0) << i;
}

TEST(Playback, StopSilencesAndOffersOpenAgain) {
  PlaybackFixture p;
  p.OpenA(p.File("a.wav", Ramp(3 * kChunk, 100)));
  p.Play();
  p.Blocks(10);
  p.form().Btn("Button4").Click();
  EXPECT_FALSE(p.form().GetTimer("Timer_read_wav_file").Enabled());
  EXPECT_FALSE(p.form().Btn("Button4").Enabled());
  EXPECT_TRUE(p.form().Btn("Button3").Enabled());
  EXPECT_FALSE(p.form().Btn("BitBtn1").Enabled());
  for (int i = 0; i < FileBuffer::kCapacity; ++i) ASSERT_EQ(p.Buffer(i), 0) << i;
}

TEST(Playback, ReaderForcesTheChunkForOlderCards) {
  PlaybackFixture p;
  auto& card = p.form().Group("RadioGroup_NameOfSC");
  card.SetItemIndex(2);
  p.OpenA(p.File("a.wav", Ramp(3 * kChunk, 100)));
  p.Play();
  p.ReaderTick();
  EXPECT_EQ(p.params().FileReadChunk.load(), kChunk);
  card.SetItemIndex(0);
  p.ReaderTick();
  EXPECT_EQ(p.params().FileReadChunk.load(), 10240);
}

// A file that cannot be read: the error is shown, the output comes back, and a
// reader that fails stops playing instead of repeating the error every tick.
TEST(Playback, ReadErrorsAreShownOnce) {
  PlaybackFixture p;
  p.params().OutputGain.store(0.5f);
  std::filesystem::create_directory(p.dir / "folder.wav");
  p.OpenA(p.dir / "folder.wav");
  EXPECT_EQ(p.f.dialogs.errors, (std::vector<std::string>{"File access denied"}));
  EXPECT_FLOAT_EQ(p.params().OutputGain.load(), 0.5f);
  p.Play();
  p.Blocks(12);
  EXPECT_EQ(p.f.dialogs.errors.size(), 2u);
  EXPECT_FALSE(p.form().GetTimer("Timer_read_wav_file").Enabled());
  EXPECT_TRUE(p.form().Btn("Button3").Enabled());
}

// A file mixed after the effects is recorded only by the tap after the output
// conversion ("Record playing back wav file + live input").
TEST(Playback, FileAfterTheEffectsIsRecordedOnlyWithWriteWavLive) {
  PlaybackFixture p;
  const auto samples = Ramp(3 * kChunk, 700);
  p.OpenA(p.File("take.wav", samples));
  p.Play();
  p.Blocks(60);
  p.form().Get<ui::Edit>("Edit_Open_R").SetText(p.dir / "rec");
  p.f.dialogs.replaceAnswer = true;  // the second take replaces the first
  for (bool live : {false, true}) {
    p.form().Box("CheckBox_Write_WAV_Live").SetChecked(live);
    p.form().Btn("BitBtn_Start_Record").Click();
    const std::size_t from = p.output.size();
    p.Blocks(2);
    p.form().Btn("BitBtn_Stop_R").Click();
    const auto file = test::ReadBytes(p.dir / "rec.au");
    ASSERT_EQ(file.size(), 128u + 4u * kBlock);
    for (std::size_t k = 0; k < 2 * kBlock; ++k) {
      ASSERT_EQ(test::BigEndian16(file, 128 + 2 * k), live ? p.output[from + k] : 0) << k;
    }
  }
}

}  // namespace
}  // namespace fw
