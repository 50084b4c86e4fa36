// Preset commands and the activation while the library-mode driver runs on another
// thread: the audio side must not allocate or lock, whatever the window thread loads.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/presets/preset_commands.h"
#include "app/startup/form_activate.h"
#include "presets/preset_fixture.h"
#include "presets/render_harness.h"
#include "support/realtime_guard.h"
#include "support/test_paths.h"

namespace fw {
namespace {

TEST(PresetsWhileAudioRuns, LoadsAndActivationsLeaveTheAudioSideClean) {
  test::PresetFixture p;
  p.system.programDirectory = test::SourceDir() + "/data/presets/";
  FormActivate(p.form);
  const auto riff = test::BundledRiff();
  Engine& e = p.engine();
  ChainIo& io = p.form.io;
  io.waveIn.running.store(1);
  e.params.WaveInBlockLength.store(WaveInBufferArea::kBufferLength);
  std::copy_n(riff.begin(), WaveInBufferArea::kBufferCount * WaveInBufferArea::kBufferLength / 4,
              io.waveIn.area.samples);

  test::ResetRealtimeViolations();
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    WaveInHeader header;
    while (!stop.load()) {
      header.user = static_cast<std::uintptr_t>(blocks.load() % 60);
      {
        test::RealtimeScope scope;
        ProcessWaveInBlock(e, io, 0, MM_WIM_DATA, 0, &header, 0);
      }
      blocks.fetch_add(1);
    }
  });

  for (int round = 0; round < 3; ++round) {
    for (const char* button : {"BitBtn_HardRock", "BitBtn_Solo", "BitBtn_Clear", "BitBtn_AllEffects"}) {
      p.form.Btn(button).Click();
    }
    p.system.timeOfDayMs += 1000;
    FormKeyDown(p.form);
    FormActivate(p.form);
  }
  while (blocks.load() < 200) std::this_thread::yield();
  stop.store(true);
  audio.join();
  p.f.loop.PumpOnce();

  EXPECT_TRUE(p.f.dialogs.errors.empty());
  EXPECT_EQ(test::RealtimeViolations(), 0) << test::FirstRealtimeViolation();
}

}  // namespace
}  // namespace fw
