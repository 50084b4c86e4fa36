// The chain runs on its own thread while the window thread records, flushes,
// pauses, stops and plays a file: the ring hand-over and the request words are
// the only synchronisation. Built with -DFRETWERK_SANITIZE=thread these tests
// are the race check.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "app/pages/file_pages.h"
#include "engine/chain.h"
#include "files/file_player.h"
#include "files/files_test_support.h"
#include "files/recorder.h"
#include "support/engine_fixture.h"

namespace fw {
namespace {

constexpr int kBlock = 220;
constexpr std::int16_t kPeriod = 30000;

// Feeds the direct driver a counter signal (0, 1, ... kPeriod - 1, 0, ...) until stopped.
class ChainThread {
 public:
  explicit ChainThread(Engine& engine) : engine_(engine), thread_([this] { Run(); }) {}
  ~ChainThread() { Stop(); }
  void Stop() {
    running_.store(false);
    if (thread_.joinable()) thread_.join();
  }
  std::int64_t Blocks() const { return blocks_.load(); }

 private:
  void Run() {
    std::int16_t block[kBlock];
    std::int16_t next = 0;
    while (running_.load()) {
      for (std::int16_t& s : block) {
        s = next;
        next = static_cast<std::int16_t>(next + 1 == kPeriod ? 0 : next + 1);
      }
      ProcessDirectBlock(engine_, kBlock, block);
      blocks_.fetch_add(1);
    }
  }

  Engine& engine_;
  std::atomic<bool> running_{true};
  std::atomic<std::int64_t> blocks_{0};
  std::thread thread_;
};

// Within every run of recorded samples the counter goes up by one: no block was torn
// or written into a ring the recorder was emptying.
void ExpectCounterRun(const std::vector<std::uint8_t>& file, std::int64_t from, std::int64_t count) {
  for (std::int64_t k = from + 1; k < from + count; ++k) {
    const auto at = static_cast<std::size_t>(128 + 2 * k);
    const int previous = test::BigEndian16(file, at - 2);
    const int now = test::BigEndian16(file, at);
    ASSERT_EQ(now, previous + 1 == kPeriod ? 0 : previous + 1) << "sample " << k;
  }
}

template <class Condition>
bool WaitFor(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::yield();
  }
  return true;
}

TEST(ThreadedRecording, FlushPauseAndStopWhileTheChainRuns) {
  auto engine = MakeEngine();
  engine->params.RecordClean.store(1);
  engine->params.RealtimeBlockLength.store(128);
  test::TempDir dir;
  const std::int32_t ring = 120000;

  Recorder recorder(*engine);
  FilePlayer player(*engine);
  test::WriteSamples(dir / "loop.wav", std::vector<std::int16_t>(30000, 1234), false);
  ASSERT_TRUE(player.Open(FilePlayer::kSlotA, dir / "loop.wav"));
  player.PreRead(FilePlayer::kSlotA);
  player.Play();

  ChainThread chain(*engine);
  for (int take = 0; take < 3; ++take) {
    const std::string path = dir / ("take" + std::to_string(take) + ".au");
    ASSERT_TRUE(recorder.AllocateRing(ring));
    recorder.CreateFile(path, 22050);
    recorder.Arm();

    int flushes = 0;
    ASSERT_TRUE(WaitFor([&] {
      player.ServeRefillRequests();
      if (recorder.FlushIfFull()) ++flushes;
      if (flushes == 2 && take == 1) {
        // Paused while full: the flush discards the ring.
        EXPECT_TRUE(WaitFor([&] { return engine->params.RecordFull.load() == 3; }));
        recorder.Pause();
        EXPECT_TRUE(recorder.FlushIfFull());
        EXPECT_EQ(engine->params.RecordIndex.load(), 0);
        recorder.Continue();
        ++flushes;
      }
      return flushes >= 3;
    }));
    const std::int64_t before = chain.Blocks();
    ASSERT_TRUE(WaitFor([&] { return chain.Blocks() > before + 5; }));
    recorder.CloseTaps();
    const std::int64_t bytes = recorder.AppendRemainder();
    recorder.CompleteHeader(22050);
    recorder.Finish();
    EXPECT_EQ(engine->record.samples.load(), nullptr);

    const auto file = test::ReadBytes(path);
    ASSERT_EQ(static_cast<std::int64_t>(file.size()), bytes);
    ASSERT_EQ((file.size() - 128) % 2, 0u);
    const std::int64_t samples = static_cast<std::int64_t>(file.size() - 128) / 2;
    const std::int64_t flushed = samples / (ring - 500);
    EXPECT_GE(flushed, 2);
    for (std::int64_t f = 0; f < flushed; ++f) ExpectCounterRun(file, f * (ring - 500), ring - 5000);
    // Stopped while full, the rest ends in the zeros the tap keeps at the ring's end.
    ExpectCounterRun(file, flushed * (ring - 500),
                     std::min<std::int64_t>(samples - flushed * (ring - 500), ring - 5000));
  }
  chain.Stop();
}

TEST(ThreadedRecording, WindowStartsAndStopsWhileTheChainRuns) {
  test::FormFixture f;
  test::TempDir dir;
  f.engine->params.RecordClean.store(1);
  f.form->Get<ui::Edit>("Edit_Open_R").SetText(dir / "take");
  ChainThread chain(*f.engine);
  for (int take = 0; take < 3; ++take) {
    f.form->Btn("BitBtn_Start_Record").Click();
    // Blocks recorded, not blocks seen: a block the chain was inside at the click may
    // have passed the tap before the ring opened.
    ASSERT_TRUE(WaitFor([&] { return f.engine->params.RecordIndex.load() > 20 * kBlock; }));
    f.loop.AdvanceBy(250, f.clock);
    f.form->Btn("BitBtn_Stop_R").Click();
    ASSERT_TRUE(f.dialogs.errors.empty());
    const auto file = test::ReadBytes(dir / "take.au");
    ASSERT_GT(file.size(), 128u + 40u * kBlock);
    ExpectCounterRun(file, 0, static_cast<std::int64_t>(file.size() - 128) / 2);
  }
}

}  // namespace
}  // namespace fw
