#include <gtest/gtest.h>
#include <sndfile.h>

#include <memory>

#include "app/pages/file_pages.h"
#include "audio/realtime_chain.h"
#include "files/recording_fixture.h"
#include "support/fake_system_services.h"
#include "support/realtime_guard.h"

namespace fw {
namespace {

using test::CleanSample;
using test::kFlushSamples;
using test::kRing;
using test::RecordingFixture;

// Checks the 128-byte header for a file of `bytes` bytes at `rate`.
void ExpectHeader(const std::vector<std::uint8_t>& file, std::uint32_t rate) {
  ASSERT_GE(file.size(), 128u);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), ".snd");
  EXPECT_EQ(test::BigEndian32(file, 4), 128u);
  EXPECT_EQ(test::BigEndian32(file, 8), file.size() - 128);
  EXPECT_EQ(test::BigEndian32(file, 12), 3u);
  EXPECT_EQ(test::BigEndian32(file, 16), rate);
  EXPECT_EQ(test::BigEndian32(file, 20), 1u);
  for (std::size_t i = 24; i < 128; ++i) ASSERT_EQ(file[i], 0) << "annotation byte " << i;
}

// Compares `count` big-endian samples at sample position `at` of the data with expected(k).
template <class Expected>
void ExpectSamples(const std::vector<std::uint8_t>& file, std::int64_t at, std::int64_t count,
                   Expected expected) {
  for (std::int64_t k = 0; k < count; ++k) {
    const auto offset = static_cast<std::size_t>(128 + 2 * (at + k));
    ASSERT_EQ(test::BigEndian16(file, offset), expected(k)) << "data sample " << at + k;
  }
}

TEST(RecordPage, ControlsStartIdleAndStartWaitsForAPath) {
  RecordingFixture r;
  TForm1& form = r.form();
  EXPECT_EQ(form.Get<ui::Edit>("Edit_Open_R").Text(), "file name like   c:\\your.wav");
  EXPECT_EQ(form.Btn("BitBtn_Open_File").Caption(), "&Get File Name");
  EXPECT_EQ(form.Btn("BitBtn_Start_Record").Caption(), "Open File && Start Record");
  EXPECT_EQ(form.Btn("BitBtn_Pause").Caption(), "&Pause");
  EXPECT_EQ(form.Btn("BitBtn_Continue").Caption(), "&Continue");
  EXPECT_EQ(form.Btn("BitBtn_Stop_R").Caption(), "Stop Record && Close File");
  EXPECT_EQ(form.Get<ui::Label>("Label6").Caption(), "Recorded 0 bytes");
  EXPECT_EQ(form.GetTimer("Timer_Write_file").Interval(), 250);
  EXPECT_FALSE(form.GetTimer("Timer_Write_file").Enabled());
  const auto& group = form.Group("RadioGroup_WAV_WRITE_BUF_SIZE");
  EXPECT_EQ(group.Caption(), "Buffer Size");
  EXPECT_EQ(group.Items(), (std::vector<std::string>{"1 minute", "2 minutes", "3 minutes", "4 minutes"}));
  EXPECT_EQ(group.ItemIndex(), 0);

  // The hint is not a path: start would write a file nobody chose.
  for (const char* name : {"BitBtn_Start_Record", "BitBtn_Pause", "BitBtn_Continue", "BitBtn_Stop_R"}) {
    EXPECT_FALSE(form.Btn(name).Enabled()) << name;
  }
  form.Btn("BitBtn_Start_Record").Click();
  EXPECT_FALSE(std::filesystem::exists("file name like   c:\\your.wav.au"));
  EXPECT_EQ(r.params().RecordRingSize.load(), 0);

  r.f.dialogs.fileAnswers.push_back(r.dir / "song.au");
  form.Btn("BitBtn_Open_File").Click();
  EXPECT_EQ(form.Get<ui::Edit>("Edit_Open_R").Text(), r.dir / "song");
  EXPECT_TRUE(form.Btn("BitBtn_Start_Record").Enabled());

  r.f.dialogs.fileAnswers.push_back(std::nullopt);  // cancelled: the name stays
  form.Btn("BitBtn_Open_File").Click();
  EXPECT_EQ(form.Get<ui::Edit>("Edit_Open_R").Text(), r.dir / "song");
}

TEST(RecordPage, BufferSizeItemsFollowTheRate) {
  RecordingFixture r;
  auto& group = r.form().Group("RadioGroup_WAV_WRITE_BUF_SIZE");
  group.SetItemIndex(3);
  SetRecordBufferSizeItems(r.form(), true);
  EXPECT_EQ(group.Items(), (std::vector<std::string>{"0.5 minute", "1 minute", "1.5 minute", "2 minutes"}));
  EXPECT_EQ(group.ItemIndex(), 0);
  group.SetItemIndex(1);
  r.Start();
  EXPECT_EQ(r.params().RecordRingSize.load(), 2 * kRing);
}

// Two flushes and a stop with a "1 minute" ring, checked byte for byte.
TEST(Recording, FlushesAndStopWriteTheRingsAndTheRest) {
  RecordingFixture r;
  r.params().RecordClean.store(1);
  r.Start();
  EXPECT_EQ(r.params().RecordRingSize.load(), kRing);
  EXPECT_EQ(r.params().RecordActive.load(), -1);
  EXPECT_TRUE(r.form().GetTimer("Timer_Write_file").Enabled());
  EXPECT_TRUE(r.form().Btn("BitBtn_Stop_R").Enabled());
  EXPECT_TRUE(r.form().Btn("BitBtn_Pause").Enabled());
  EXPECT_FALSE(r.form().Btn("BitBtn_Start_Record").Enabled());
  EXPECT_FALSE(r.form().Btn("BitBtn_Continue").Enabled());
  EXPECT_EQ(test::ReadBytes(r.File()).size(), 128u);

  std::vector<std::int64_t> runStarts;
  for (int flush = 0; flush < 2; ++flush) {
    runStarts.push_back(r.FillRing());
    const std::int32_t fullAt = r.params().RecordIndex.load();
    EXPECT_EQ(fullAt, 5991 * 220);  // the first index at or past ring size - 5000
    r.Blocks(3);                    // arrives while full: not recorded
    EXPECT_EQ(r.params().RecordIndex.load(), fullAt);
    r.Tick();
    EXPECT_EQ(r.form().Status().SimpleText(), "Recorded=" + std::to_string(fullAt));
    EXPECT_EQ(r.form().Get<ui::ProgressBar>("ProgressBar_WRITE_TO_FILE").Position(), 100);
    EXPECT_EQ(r.params().RecordFull.load(), 0);
    EXPECT_EQ(r.params().RecordIndex.load(), 0);
    EXPECT_EQ(r.params().RecordActive.load(), -1);
    EXPECT_EQ(test::ReadBytes(r.File()).size(), 128u + 2u * kFlushSamples * static_cast<unsigned>(flush + 1));
  }
  const std::int64_t lastRun = r.fed;
  r.Blocks(10);
  r.Tick();  // not full: nothing written
  EXPECT_EQ(r.form().Status().SimpleText(), "Recorded=2200");
  EXPECT_EQ(r.form().Get<ui::ProgressBar>("ProgressBar_WRITE_TO_FILE").Position(), 0);
  r.Stop();

  const auto file = test::ReadBytes(r.File());
  const std::int64_t samples = 2 * kFlushSamples + 2200;
  ASSERT_EQ(file.size(), static_cast<std::size_t>(128 + 2 * samples));
  ExpectHeader(file, 22050);
  for (int flush = 0; flush < 2; ++flush) {
    const std::int64_t start = runStarts[static_cast<std::size_t>(flush)];
    ExpectSamples(file, flush * kFlushSamples, kFlushSamples, [&](std::int64_t k) {
      // The tap keeps the ring's last 5000 samples at zero, over the end of the last block too.
      return k < kRing - 5000 ? CleanSample(start + k) : std::int16_t{0};
    });
  }
  ExpectSamples(file, 2 * kFlushSamples, 2200, [&](std::int64_t k) { return CleanSample(lastRun + k); });

  EXPECT_EQ(r.form().Get<ui::Label>("Label6").Caption(),
            "Recorded bytes: " + std::to_string(file.size() / 1024) + " kB");
  EXPECT_FALSE(r.form().GetTimer("Timer_Write_file").Enabled());
  EXPECT_TRUE(r.form().Btn("BitBtn_Start_Record").Enabled());
  EXPECT_FALSE(r.form().Btn("BitBtn_Stop_R").Enabled());
  EXPECT_FALSE(r.form().Btn("BitBtn_Pause").Enabled());
  EXPECT_EQ(r.params().RecordRingSize.load(), 0);
  EXPECT_EQ(r.params().RecordIndex.load(), 0);
  EXPECT_EQ(r.f.engine->record.samples.load(), nullptr);

  // Another reader of AU files agrees on rate, channels and length.
  SF_INFO info{};
  SNDFILE* sf = sf_open(r.File().c_str(), SFM_READ, &info);
  ASSERT_NE(sf, nullptr) << sf_strerror(nullptr);
  EXPECT_EQ(info.samplerate, 22050);
  EXPECT_EQ(info.channels, 1);
  EXPECT_EQ(info.frames, samples);
  short first[4] = {};
  EXPECT_EQ(sf_read_short(sf, first, 4), 4);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(first[k], CleanSample(runStarts[0] + k));
  sf_close(sf);

  // Blocks after stop change nothing.
  r.Blocks(5);
  EXPECT_EQ(test::ReadBytes(r.File()).size(), file.size());
}

TEST(Recording, StopAtOnceLeavesTheHeaderAndWhatWasRecorded) {
  RecordingFixture r;
  r.params().RecordClean.store(1);
  r.Start();
  r.Stop();
  auto file = test::ReadBytes(r.File());
  EXPECT_EQ(file.size(), 128u);
  ExpectHeader(file, 22050);
  EXPECT_EQ(r.form().Get<ui::Label>("Label6").Caption(), "Recorded bytes: 0 kB");

  // The 44.1 kHz box decides where the window has it; without it, the engine rate.
  if (auto* box = dynamic_cast<ui::CheckBox*>(r.form().Find("CheckBox_AWE_44_1"))) {
    box->SetChecked(true);
  } else {
    r.params().EngineSampleRate.store(44100);
  }
  r.Start();
  r.Blocks(3);
  r.Stop();
  file = test::ReadBytes(r.File());
  ASSERT_EQ(file.size(), 128u + 1320u);
  ExpectHeader(file, 44100);
  ExpectSamples(file, 0, 660, [](std::int64_t k) { return CleanSample(k); });
  EXPECT_EQ(r.form().Get<ui::Label>("Label6").Caption(), "Recorded bytes: 1 kB");
}

TEST(Recording, PauseWhileFullDiscardsTheRingAndContinueStartsAtZero) {
  RecordingFixture r;
  r.params().RecordClean.store(1);
  r.Start();
  r.FillRing();
  r.form().Btn("BitBtn_Pause").Click();
  EXPECT_EQ(r.params().RecordActive.load(), 0);
  EXPECT_TRUE(r.form().Btn("BitBtn_Continue").Enabled());
  EXPECT_FALSE(r.form().Btn("BitBtn_Pause").Enabled());
  r.Tick();
  EXPECT_EQ(test::ReadBytes(r.File()).size(), 128u);
  EXPECT_EQ(r.params().RecordFull.load(), 0);
  EXPECT_EQ(r.params().RecordIndex.load(), 0);
  EXPECT_EQ(r.params().RecordActive.load(), 0);

  r.Blocks(4);  // paused: not recorded
  EXPECT_EQ(r.params().RecordIndex.load(), 0);
  r.form().Btn("BitBtn_Continue").Click();
  EXPECT_EQ(r.params().RecordActive.load(), -1);
  EXPECT_FALSE(r.form().Btn("BitBtn_Continue").Enabled());
  EXPECT_TRUE(r.form().Btn("BitBtn_Pause").Enabled());
  const std::int64_t resumed = r.fed;
  r.Blocks(2);
  r.Stop();
  const auto file = test::ReadBytes(r.File());
  ASSERT_EQ(file.size(), 128u + 880u);
  ExpectSamples(file, 0, 440, [&](std::int64_t k) { return CleanSample(resumed + k); });
}

TEST(Recording, TheTakeIsReadableWhileRecordingAndSavedOnEveryWriteTimer) {
  RecordingFixture r;
  r.params().RecordClean.store(1);
  r.Start();
  // A valid header of unknown size from the start: a killed program leaves a take.
  auto file = test::ReadBytes(r.File());
  ASSERT_EQ(file.size(), 128u);
  EXPECT_EQ(test::BigEndian32(file, 8), 0xffffffffu);
  EXPECT_EQ(test::BigEndian32(file, 16), 22050u);
  EXPECT_TRUE(ParseAuHeader(file, file.size()).valid);

  r.Blocks(10);
  r.Tick();
  file = test::ReadBytes(r.File());
  ASSERT_EQ(file.size(), 128u + 2u * 2200u);
  ExpectSamples(file, 0, 2200, [](std::int64_t k) { return CleanSample(k); });

  // The full flush after a save writes the ring as before, once.
  r.FillRing();
  r.Tick();
  file = test::ReadBytes(r.File());
  ASSERT_EQ(file.size(), 128u + 2u * kFlushSamples);
  ExpectSamples(file, 0, kFlushSamples,
                [](std::int64_t k) { return k < kRing - 5000 ? CleanSample(k) : std::int16_t{0}; });

  // A ring discarded while paused is cut again, also what was saved of it.
  r.Blocks(10);
  r.Tick();
  EXPECT_EQ(test::ReadBytes(r.File()).size(), 128u + 2u * (kFlushSamples + 2200u));
  r.FillRing();
  r.form().Btn("BitBtn_Pause").Click();
  r.Tick();
  EXPECT_EQ(test::ReadBytes(r.File()).size(), 128u + 2u * kFlushSamples);
  r.form().Btn("BitBtn_Continue").Click();
  const std::int64_t resumed = r.fed;
  r.Blocks(2);
  r.Tick();
  r.Stop();
  file = test::ReadBytes(r.File());
  ASSERT_EQ(file.size(), 128u + 2u * (kFlushSamples + 440u));
  ExpectHeader(file, 22050);
  ExpectSamples(file, kFlushSamples, 440, [&](std::int64_t k) { return CleanSample(resumed + k); });
  // A take too long for the size field says "unknown" instead of wrapping.
  EXPECT_EQ(AuDataSizeField(0xfffffffe), 0xfffffffeu);
  EXPECT_EQ(AuDataSizeField(std::int64_t{1} << 32), 0xffffffffu);
}

TEST(Recording, CleanRecordsTheDryInputAndOtherwiseTheOutput) {
  RecordingFixture r;
  r.params().OutputGain.store(0.5f);
  r.Start();
  std::vector<std::int16_t> outputs;
  for (int b = 0; b < 3; ++b) {
    r.Block();
    outputs.insert(outputs.end(), r.lastBlock.begin(), r.lastBlock.end());
  }
  r.form().Box("CheckBox_record_clean").Click();
  EXPECT_EQ(r.params().RecordClean.load(), 1);
  const std::int64_t cleanFrom = r.fed;
  r.Blocks(2);
  r.Stop();

  const auto file = test::ReadBytes(r.File());
  ASSERT_EQ(file.size(), 128u + 2u * 1100u);
  // Tap A stores the processed output as the limiter computes it.
  ExpectSamples(file, 0, 660, [&](std::int64_t k) { return outputs[static_cast<std::size_t>(k)]; });
  ExpectSamples(file, 660, 440, [&](std::int64_t k) { return CleanSample(cleanFrom + k); });
}

// The realtime driver sums left and right: 20000 + 20000 is a 40000.0 sample.
TEST(Recording, LoudSamplesAreRecordedAtTheLimit) {
  RecordingFixture r;
  r.params().RecordClean.store(1);
  r.params().RealtimeBlockLength.store(128);
  r.params().CardType.store(2);
  r.Start();
  for (int i = 0; i < 128; ++i) {
    const std::int16_t s = i % 2 == 0 ? 20000 : -20000;
    r.f.form->io.realtime.SetSample(2 * i, s);
    r.f.form->io.realtime.SetSample(2 * i + 1, s);
  }
  RealtimeProcessSharedBlock(*r.f.engine, r.f.form->io.realtime);
  r.Stop();
  const auto file = test::ReadBytes(r.File());
  ASSERT_EQ(file.size(), 128u + 256u);
  ExpectSamples(file, 0, 128,
                [](std::int64_t k) { return static_cast<std::int16_t>(k % 2 == 0 ? 32000 : -32000); });
}

TEST(Recording, AFailedFileStepIsShownAndKeepsTheButtons) {
  RecordingFixture r;
  std::filesystem::create_directory(r.dir / "folder.au");
  r.form().Get<ui::Edit>("Edit_Open_R").SetText(r.dir / "folder");
  r.form().Btn("BitBtn_Start_Record").Click();
  EXPECT_EQ(r.f.dialogs.errors, (std::vector<std::string>{"File access denied"}));
  EXPECT_TRUE(r.form().Btn("BitBtn_Start_Record").Enabled());
  EXPECT_FALSE(r.form().Btn("BitBtn_Stop_R").Enabled());
  EXPECT_FALSE(r.form().GetTimer("Timer_Write_file").Enabled());
  r.Blocks(2);  // the ring stays closed to the chain
  EXPECT_EQ(r.params().RecordIndex.load(), 0);

  r.form().Get<ui::Edit>("Edit_Open_R").SetText(r.dir / "missing/take");
  r.form().Btn("BitBtn_Start_Record").Click();
  EXPECT_EQ(r.f.dialogs.errors.back(), "File not found");

  r.Start();  // a good path works afterwards
  r.Blocks(1);
  r.Stop();
  EXPECT_EQ(test::ReadBytes(r.File()).size(), 128u + 440u);
}

TEST(Recording, OutOfMemoryShowsTheMessageAndEndsTheProgram) {
  test::FakeSystemServices system;
  test::FormFixture f(Platform{nullptr, nullptr, &system, nullptr});
  test::TempDir dir;
  RecorderOf(*f.form).allocateRing = [](std::int32_t) { return Recorder::Ring{}; };
  f.form->Get<ui::Edit>("Edit_Open_R").SetText(dir / "take");
  f.form->Btn("BitBtn_Start_Record").Click();
  EXPECT_EQ(f.dialogs.messages,
            (std::vector<std::string>{"Out of memory, use smaller buffer or add RAM to your PC!"}));
  EXPECT_EQ(system.endNowCalls, 1);
  EXPECT_EQ(f.engine->params.RecordRingSize.load(), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "take.au"));
}

TEST(Recording, WriteTimerForcesTheChunkForOlderCards) {
  RecordingFixture r;
  auto& card = r.form().Group("RadioGroup_NameOfSC");
  card.SetItemIndex(2);
  r.params().FileReadChunk.store(11040);
  r.Start();
  r.Tick();
  EXPECT_EQ(r.params().FileReadChunk.load(), 11040);
  card.SetItemIndex(1);
  r.Tick();
  EXPECT_EQ(r.params().FileReadChunk.load(), 10240);
  r.Stop();
}

// The taps and their hand-over words allocate nothing and take no lock.
TEST(Recording, TapsDoNoForbiddenWork) {
  RecordingFixture r;
  r.Start();
  test::ResetRealtimeViolations();
  std::vector<std::int16_t> block(220, 1000);
  for (int live = 0; live < 2; ++live) {
    r.form().Box("CheckBox_Write_WAV_Live").SetChecked(live == 1);
    for (int b = 0; b < 50; ++b) {
      test::RealtimeScope scope;
      ProcessDirectBlock(*r.f.engine, 220, block.data());
    }
  }
  EXPECT_EQ(test::RealtimeViolations(), 0) << test::FirstRealtimeViolation();
  EXPECT_EQ(r.params().RecordIndex.load(), 100 * 220);
  r.Stop();
}

}  // namespace
}  // namespace fw
