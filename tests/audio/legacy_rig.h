#pragma once
// The window over the simulated legacy PC, with the virtual sound card as its
// analogue side (pumped by the test, or by a thread while the window thread spins)
// and the multimedia timer on the test's clock.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/form1.h"
#include "app/platform.h"
#include "app/realtime/realtime_control.h"
#include "app/session.h"
#include "app/startup/headless_start.h"
#include "app/system_services.h"
#include "audio/legacy/legacy_pc.h"
#include "audio/linux/speex_rate_converter.h"
#include "audio/live_audio.h"
#include "audio/virtual/virtual_sound_card.h"
#include "support/manual_timer.h"
#include "support/test_paths.h"
#include "ui/clock.h"
#include "ui/scripted_dialogs.h"
#include "ui/window_loop.h"

namespace fw::test {

// Spins until `done`; false after ten seconds, so that a stuck thread fails a test
// instead of hanging it.
template <typename Done>
bool SpinUntil(Done done) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::yield();
  }
  return true;
}

class Ring0System final : public SystemServices {
 public:
  std::int64_t TimeOfDayMs() override { return 0; }
  bool HasRing0Drivers() override { return true; }
  std::string ProgramDirectory() override { return BinaryDir() + "/"; }  // the fixed presets
  void RequestTerminate() override { ++terminateRequests; }
  void EndProgramNow() override { ++programEnds; }
  int terminateRequests = 0;
  int programEnds = 0;
};

struct LegacyRig {
  // `input` at 22050 Hz, played once or looped; the sandbox is made fresh for each rig.
  LegacyRig(const LegacyCardLayout& layout, std::vector<float> input, const std::string& name,
            bool looped = false) {
    sandbox = std::filesystem::temp_directory_path() / ("fretwerk-legacy-" + name);
    std::filesystem::remove_all(sandbox);
    VirtualCardOptions options;
    options.inputSamples = std::move(input);
    options.loop = looped;
    options.keepOutput = true;
    options.pacing = VirtualCardOptions::Pacing::Manual;
    options.rate = 22050;
    options.period = 1;
    auto device = std::make_unique<VirtualSoundCard>(options);
    std::string error;
    device->Load(error);
    card = device.get();
    live = std::make_unique<LiveAudio>(std::move(device), &MakeSpeexRateConverter);
    LegacyPcOptions pcOptions;
    pcOptions.card = layout;
    pcOptions.dataDirectory = sandbox.string();
    pcOptions.smoothRegisters = false;
    pc = std::make_unique<LegacyPc>(pcOptions, *live);
    engine = MakeEngine();
    Platform platform = SessionPlatform({&dialogs, &system, nullptr}, live.get(), pc.get());
    platform.timer = &timer;
    form = std::make_unique<TForm1>(*engine, loop, platform);
    form->RunCommand([this] { StartHeadless(*form, ""); });
  }
  ~LegacyRig() {
    StopPumping();
    form.reset();
  }

  RealtimeControl& Control() { return Realtime(*form); }

  // A thread plays the card sample by sample, `speed` times faster than real time,
  // while the window thread spins: fast enough for a quick test, slow enough that
  // the spinning steps see the card's transfers one by one, as on the real machine.
  void StartPumping() {
    pumping = true;
    pump = std::thread([this] {
      const std::chrono::nanoseconds kFrame(45351 / speed);
      auto next = std::chrono::steady_clock::now();
      while (pumping.load()) {
        if (!hold || !hold()) PumpOne();
        next += kFrame;
        auto now = std::chrono::steady_clock::now();
        if (now > next + std::chrono::milliseconds(5)) next = now;  // no catching up after a stall
        while (now < next) now = std::chrono::steady_clock::now();
      }
    });
  }
  void StopPumping() {
    pumping = false;
    if (pump.joinable()) pump.join();
  }
  void PumpOne() {
    std::lock_guard<std::mutex> lock(pumpLock);
    card->Pump();
  }
  // One period of `frames`; the card's period goes back to one sample, so that a
  // later start's pumping thread plays at real-time pace again.
  void Pump(int frames) {
    std::lock_guard<std::mutex> lock(pumpLock);
    card->SetPeriod(frames);
    card->Pump();
    card->SetPeriod(1);
  }

  // Start as the user does it; with `optimisation` the box is checked again within
  // the half second before the start sequence runs, which the pumping thread feeds.
  // While the window thread reads the DMA registers, the card also moves one sample
  // per 40 reads, so the scans see every value however busy the machine is. Ring-0
  // mode does not wait for the card: it starts with the card standing still.
  void Start(bool optimisation) {
    form->Btn("Button_RUN_RT").Click();
    if (!optimisation) {
      loop.AdvanceBy(500, clock);
      return;
    }
    form->Box("CheckBox_UseWaveIn").SetChecked(true);
    int reads = 0;
    pc->SetPortReadHook([this, reads]() mutable {
      if (++reads % 40 == 0) PumpOne();
    });
    StartPumping();
    loop.AdvanceBy(500, clock);
    StopPumping();
    pc->SetPortReadHook({});
  }

  std::filesystem::path sandbox;
  VirtualSoundCard* card = nullptr;
  std::unique_ptr<LiveAudio> live;
  std::unique_ptr<LegacyPc> pc;
  ManualTimer timer;
  std::unique_ptr<Engine> engine;
  ui::FakeClock clock;
  ui::WindowLoop loop{clock};
  ui::ScriptedDialogs dialogs;
  Ring0System system;
  std::unique_ptr<TForm1> form;
  std::thread pump;
  std::atomic<bool> pumping{false};
  std::mutex pumpLock;
  int speed = 1;               // times real time
  std::function<bool()> hold;  // while it says so, the pumping thread leaves the card still
};

}  // namespace fw::test
