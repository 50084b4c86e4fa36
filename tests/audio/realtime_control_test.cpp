// Starting and stopping library mode through the window, as a user does it.
#include "app/realtime/realtime_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/pages/delay_display.h"
#include "app/session_end.h"
#include "audio/virtual/recording_output_library.h"
#include "loopback_rig.h"
#include "support/chain_setup.h"
#include "support/engine_fixture.h"
#include "support/fake_system_services.h"

namespace fw::test {
namespace {

// The build tree holds the fixed presets: Start clicks "Distortion 2", which loads one.
FakeSystemServices BuildTreeSystem() {
  FakeSystemServices system;
  system.programDirectory = std::string(FRETWERK_BINARY_DIR) + "/";
  return system;
}

// Records every wave-input call, and the running flag at the first stop.
class RecordingWaveInput final : public WaveInput {
 public:
  explicit RecordingWaveInput(const IntWord& running) : running_(running) {}
  std::vector<std::string> calls;
  std::int32_t openResult = 0;
  WaveFormat format;
  int runningAtFirstStop = -1;

  std::int32_t Open(std::int32_t id, const WaveFormat& f, WaveInCallback cb, std::uintptr_t,
                    std::uint32_t flags) override {
    calls.push_back("open " + std::to_string(id) +
                    (cb.proc != nullptr && flags == kCallbackFunction ? " callback" : ""));
    format = f;
    return openResult;
  }
  std::int32_t PrepareHeader(WaveInHeader* h, std::uint32_t size) override {
    calls.push_back("prepare");
    return WaveInput::PrepareHeader(h, size);
  }
  std::int32_t AddBuffer(WaveInHeader* h, std::uint32_t size) noexcept override {
    calls.push_back("add " + std::to_string(h->user) + " " + std::to_string(h->bufferLength) + " " +
                    std::to_string(size));
    return openResult == 0 ? 0 : MMSYSERR_INVALHANDLE;
  }
  std::int32_t Start() override {
    calls.push_back("start");
    return openResult == 0 ? 0 : MMSYSERR_INVALHANDLE;
  }
  std::int32_t Stop() override {
    if (runningAtFirstStop < 0) runningAtFirstStop = running_.load();
    calls.push_back("stop");
    return 0;
  }
  std::int32_t Reset() override {
    calls.push_back("reset");
    return 0;
  }
  std::int32_t Close() override {
    calls.push_back("close");
    return 0;
  }

 private:
  const IntWord& running_;
};

struct RealtimeFixture : ::testing::Test {
  std::unique_ptr<FormFixture> f;
  RecordingOutputLibrary out;
  FakeSystemServices system = BuildTreeSystem();
  std::unique_ptr<RecordingWaveInput> in;

  void Make() {
    f.reset();
    Platform platform;
    platform.output = &out;
    platform.system = &system;
    f = std::make_unique<FormFixture>(platform);
    in = std::make_unique<RecordingWaveInput>(f->form->io.waveIn.running);
    f->form->platform.waveIn = in.get();
    f->form->Group("RadioGroup_NameOfSC").SetItemIndex(2);
  }
  void SetUp() override { Make(); }
  TForm1& Form() { return *f->form; }
  void PressStart() {
    Form().Btn("Button_RUN_RT").Click();
    f->loop.AdvanceBy(500, f->clock);
  }
  std::vector<std::string> LibraryCalls() const {
    std::vector<std::string> names;
    for (const auto& c : out.calls) names.push_back(c.name + " " + std::to_string(c.argument));
    return names;
  }
};

TEST_F(RealtimeFixture, ControlsStartAsTheWindowShowsThem) {
  TForm1& form = Form();
  EXPECT_EQ(form.Btn("Button_RUN_RT").Caption(), "Start");
  EXPECT_FALSE(form.Btn("Button_STOP_RT").Enabled());
  EXPECT_FALSE(form.Btn("Button_ThreadPS").Enabled());
  EXPECT_EQ(form.Btn("BitBtn_latPlus").Caption(), "Increase  in ->out  delay");
  EXPECT_EQ(form.Btn("BitBtn_LatMinus").Caption(), "Decrease  in ->out  delay");
  EXPECT_FALSE(form.Box("CheckBox_UseWaveIn").Visible());
  EXPECT_FALSE(form.Box("CheckBox_AWE_44_1").Enabled());
  EXPECT_EQ(form.Get<ui::ComboBox>("ComboBox_WDM").Text(), "Default WDM Device");
  EXPECT_FALSE(form.Group("RadioGroup_IRQ").Visible());
  EXPECT_EQ(form.Group("RadioGroup_DMA8").ItemIndex(), 1);
  EXPECT_FALSE(form.GetTimer("Timer2").Enabled());
  EXPECT_EQ(form.GetTimer("Timer2").Interval(), 500);
}

TEST_F(RealtimeFixture, StartRunsTheLibraryModeSequenceHalfASecondLater) {
  Form().Btn("Button_RUN_RT").Click();
  EXPECT_FALSE(Form().Btn("Button_RUN_RT").Enabled());
  EXPECT_TRUE(Form().GetTimer("Timer2").Enabled());
  EXPECT_TRUE(out.calls.empty());
  f->loop.AdvanceBy(499, f->clock);
  EXPECT_TRUE(out.calls.empty());
  f->loop.AdvanceBy(1, f->clock);
  EXPECT_FALSE(Form().GetTimer("Timer2").Enabled());

  // The WDM set-up checks the 44.1 kHz box, whose click tells the library the rate.
  const std::vector<std::string> expected = {"setup_delta_delta 150",
                                             "setup_b_size 220",
                                             "setup_b_size 220",
                                             "setup_freq_22_44 44100",
                                             "setup_ks_prefered 0",
                                             "get_wdm_wavout_device_list 0",
                                             "select_wdm_waveOut_device 0",
                                             "setup_stereo 1",
                                             "setup_auto 1",
                                             "setup_delta_delta 150",
                                             "setup_freq_22_44 44100",
                                             "setup_latency 750",
                                             "setup_b_size 220",
                                             "setup_max_chorus_delay 0",
                                             "WinMain1 0",
                                             "setup_latency 1400",
                                             "setup_b_size 220"};
  EXPECT_EQ(LibraryCalls(), expected);

  TForm1& form = Form();
  EXPECT_EQ(form.Btn("Button_RUN_RT").Caption(), "Working");
  EXPECT_FALSE(form.Btn("Button_RUN_RT").Enabled());
  EXPECT_TRUE(form.Btn("Button_STOP_RT").Enabled());
  EXPECT_FALSE(form.Btn("Button_ThreadPS").Enabled());
  EXPECT_EQ(form.Btn("Button_ThreadPS").Caption(), "Pause/Continue");
  EXPECT_FALSE(form.Group("RadioGroup_NameOfSC").Enabled());
  EXPECT_TRUE(form.Box("CheckBox_AWE_44_1").Checked());
  EXPECT_EQ(f->engine->params.EngineSampleRate.load(), 44100);
  EXPECT_EQ(f->engine->params.RealtimeBlockLength.load(), 256);
  EXPECT_EQ(f->engine->params.WaveInBlockLength.load(), 220);
  EXPECT_EQ(f->form->io.waveIn.running.load(), 1);
  EXPECT_EQ(Realtime(form).latency, 1400);
  EXPECT_EQ(f->engine->params.FileReadChunk.load(), 11000);
  EXPECT_EQ(form.Get<ui::ComboBox>("ComboBox_WDM").Items(), std::vector<std::string>{"Recording output"});

  // Capture: the mapper with the callback, 257 prepared and added buffers of 440 bytes, start.
  ASSERT_EQ(in->calls.size(), 1u + 2u * 257u + 1u);
  EXPECT_EQ(in->calls.front(), "open -1 callback");
  EXPECT_EQ(in->calls[1], "prepare");
  EXPECT_EQ(in->calls[2], "add 0 440 32");
  EXPECT_EQ(in->calls[2 * 257], "add 256 440 32");
  EXPECT_EQ(in->calls.back(), "start");
  EXPECT_EQ(in->format.samplesPerSec, 44100u);
  EXPECT_EQ(in->format.avgBytesPerSec, 88200u);
  EXPECT_EQ(in->format.channels, 1);
  EXPECT_EQ(in->format.bitsPerSample, 16);
  EXPECT_TRUE(f->dialogs.messages.empty());
}

TEST_F(RealtimeFixture, StopClearsTheFlagFirstThenStopsAndResets51TimesAndCloses) {
  PressStart();
  in->calls.clear();
  out.calls.clear();
  Form().Btn("Button_STOP_RT").Click();
  EXPECT_EQ(in->runningAtFirstStop, 0);
  ASSERT_EQ(in->calls.size(), 51u * 2u + 1u);
  for (int i = 0; i < 51; ++i) {
    EXPECT_EQ(in->calls[static_cast<std::size_t>(2 * i)], "stop");
    EXPECT_EQ(in->calls[static_cast<std::size_t>(2 * i + 1)], "reset");
  }
  EXPECT_EQ(in->calls.back(), "close");
  EXPECT_EQ(LibraryCalls(), std::vector<std::string>{"CloseDSound 0"});

  TForm1& form = Form();
  EXPECT_EQ(form.Btn("Button_RUN_RT").Caption(), "Start");
  EXPECT_TRUE(form.Btn("Button_RUN_RT").Enabled());
  EXPECT_FALSE(form.Btn("Button_STOP_RT").Enabled());
  EXPECT_FALSE(form.Btn("Button_ThreadPS").Enabled());
  EXPECT_TRUE(form.Box("CheckBox_AWE_44_1").Enabled());
  // Without ring-0 drivers the card type stays fixed until the program ends.
  EXPECT_FALSE(form.Group("RadioGroup_NameOfSC").Enabled());
}

TEST_F(RealtimeFixture, NoOutputDeviceShowsTheDriverMessageAndEndsTheProgram) {
  out.deviceListResult = 0;
  PressStart();
  ASSERT_EQ(f->dialogs.messages.size(), 1u);
  EXPECT_EQ(
      f->dialogs.messages[0].rfind("Error: It seems you use Windows 95 or you have no appropriate\n\r", 0),
      0u);
  EXPECT_NE(f->dialogs.messages[0].find("\n\rDownload it from "), std::string::npos);
  EXPECT_EQ(Form().Get<ui::ComboBox>("ComboBox_WDM").Text(), "There is no WDM-sound output device.");
  EXPECT_EQ(system.endNowCalls, 1);
  EXPECT_TRUE(in->calls.empty());  // the sequence went no further

  Make();
  out.calls.clear();
  out.deviceListResult = 1;
  out.openResult = -1;
  PressStart();
  EXPECT_EQ(f->dialogs.messages,
            std::vector<std::string>{"There is no WDM-sound device or it can not be initialized."});
  EXPECT_EQ(system.endNowCalls, 2);
  EXPECT_TRUE(in->calls.empty());
}

TEST_F(RealtimeFixture, WaveInOpenFailureAsksToTerminateAndTheStepsGoOn) {
  in->openResult = MMSYSERR_ALLOCATED;
  PressStart();
  EXPECT_EQ(f->dialogs.messages, (std::vector<std::string>{"Can not wave in open (InOutStart).",
                                                           "Can not wave in prepare & add (InOutStart).",
                                                           "Can not waveIbStart (WaveInOutStart)"}));
  EXPECT_EQ(system.terminateRequests, 2);
  EXPECT_EQ(system.endNowCalls, 0);
}

TEST_F(RealtimeFixture, LatencyButtonsStepBy50AndMoveTheQueue) {
  PressStart();
  out.calls.clear();
  TForm1& form = Form();
  form.Btn("BitBtn_latPlus").Click();
  form.Btn("BitBtn_LatMinus").Click();
  form.Btn("BitBtn_LatMinus").Click();
  EXPECT_EQ(LibraryCalls(),
            (std::vector<std::string>{"setup_latency 1450", "insert_buffer 0", "setup_latency 1400",
                                      "skip_buffer 0", "setup_latency 1350", "skip_buffer 0"}));
  // No bound: the setting may go to 0 and below.
  for (int i = 0; i < 30; ++i) form.Btn("BitBtn_LatMinus").Click();
  EXPECT_EQ(Realtime(form).latency, -150);
}

TEST_F(RealtimeFixture, CardTypesWithoutRing0DriversBounceToAny) {
  TForm1& form = Form();
  auto& group = form.Group("RadioGroup_NameOfSC");
  group.SetItemIndex(1);
  EXPECT_EQ(group.ItemIndex(), 2);
  EXPECT_EQ(f->engine->params.CardType.load(), 2);
  EXPECT_FALSE(form.Group("RadioGroup_IRQ").Visible());
  EXPECT_EQ(Realtime(form).nameOfScHeight, 140);
  group.SetItemIndex(0);
  EXPECT_EQ(group.ItemIndex(), 2);

  form.Group("RadioGroup_IRQ").SetItemIndex(3);
  form.Group("RadioGroup_DMA16").SetItemIndex(2);
  EXPECT_EQ(Realtime(form).irq, 10);
  EXPECT_EQ(Realtime(form).dma16, 7);
}

TEST_F(RealtimeFixture, The441BoxSetsRateAndBlockLength) {
  TForm1& form = Form();
  auto& box = form.Box("CheckBox_AWE_44_1");
  box.SetChecked(true);
  EXPECT_EQ(f->engine->params.EngineSampleRate.load(), 44100);
  EXPECT_EQ(f->engine->params.RealtimeBlockLength.load(), 256);
  box.SetChecked(false);
  EXPECT_EQ(f->engine->params.EngineSampleRate.load(), 22050);
  EXPECT_EQ(f->engine->params.RealtimeBlockLength.load(), 128);
  EXPECT_EQ(LibraryCalls(), (std::vector<std::string>{"setup_freq_22_44 44100", "setup_freq_22_44 22050"}));
}

// The same through a live stream on the virtual card: blocks flow while running, and
// Stop, deactivation and closing each leave the input closed and the output silent.
struct LiveFixture : ::testing::Test {
  VirtualSoundCard* card = nullptr;
  std::unique_ptr<LiveAudio> live;
  FakeSystemServices system = BuildTreeSystem();
  std::unique_ptr<FormFixture> f;

  void SetUp() override {
    VirtualCardOptions options;
    options.inputSamples = ExactNoise(44100);
    options.pacing = VirtualCardOptions::Pacing::Manual;
    options.keepOutput = true;
    auto device = std::make_unique<VirtualSoundCard>(options);
    card = device.get();
    live = std::make_unique<LiveAudio>(std::move(device), &MakeSpeexRateConverter);
    f = std::make_unique<FormFixture>(SessionPlatform({nullptr, &system, nullptr}, live.get()));
    f->form->Group("RadioGroup_NameOfSC").SetItemIndex(2);
    DesignChainAsActivationWould(*f->form);
    f->form->Btn("Button_RUN_RT").Click();
    f->loop.AdvanceBy(500, f->clock);
  }
  void TearDown() override {
    Realtime(*f->form).FormDestroy();
    f.reset();
  }
  float LoudestOfLast(int samples) const {
    float peak = 0.0f;
    const auto& l = card->playedLeft;
    for (std::size_t i = l.size() - static_cast<std::size_t>(samples); i < l.size(); ++i)
      peak = std::max(peak, std::fabs(l[i]));
    return peak;
  }
};

TEST_F(LiveFixture, StartThenStopLeavesEveryDeviceClosed) {
  ASSERT_TRUE(card->Running());
  for (int i = 0; i < 200; ++i) card->Pump();  // past the automatic delay's measurement
  EXPECT_GT(LoudestOfLast(1000), 0.0f);
  // The WDM set-up's setup_auto(1): the smallest queue that holds, not the setting's 1400.
  EXPECT_EQ(live->Output().DelaySamples(), live->Output().SmallestDelay());
  EXPECT_LE(live->Output().DelaySamples(), 220);
  // The page shows it once a second while the mode runs, and nothing once stopped.
  auto& label = f->form->Get<ui::Label>("Label_Delay");
  f->loop.AdvanceBy(1000, f->clock);
  EXPECT_EQ(label.Caption(), DelayCaption(1000.0 * live->Output().DelaySamples() / 44100.0));
  EXPECT_EQ(DelayCaption(4.97), "In ->out delay: 5.0 ms");
  f->form->Btn("Button_STOP_RT").Click();
  f->loop.AdvanceBy(1000, f->clock);
  EXPECT_EQ(label.Caption(), "");
  EXPECT_FALSE(live->Input().IsOpen());
  EXPECT_FALSE(live->Output().IsOpen());
  EXPECT_FALSE(card->Running());
  EXPECT_EQ(f->form->io.waveIn.running.load(), 0);
  // A second Start opens everything again.
  f->form->Btn("Button_RUN_RT").Click();
  f->loop.AdvanceBy(500, f->clock);
  EXPECT_TRUE(card->Running());
  EXPECT_TRUE(live->Input().IsStarted());
  EXPECT_EQ(card->Starts(), 2);
}

// Start sets the library up in mono with no chorus; moving "stereo chorus" on the
// Hardware page while playing brings the chorus in.
TEST_F(LiveFixture, StereoChorusIsHeardOnceItsSliderMovesWhilePlaying) {
  auto sidesDiffer = [&] {
    for (int i = 0; i < 200; ++i) card->Pump();
    double difference = 0.0;
    const auto& l = card->playedLeft;
    for (std::size_t i = l.size() - 4410; i < l.size(); ++i)
      difference += std::fabs(l[i] - card->playedRight[i]);
    return difference;
  };
  EXPECT_EQ(sidesDiffer(), 0.0);
  EXPECT_GT(LoudestOfLast(1000), 0.0f);
  f->form->Bar("ScrollBar_max_chorus_delay").SetPosition(600);
  EXPECT_GT(sidesDiffer(), 1.0);
}

TEST_F(LiveFixture, DeactivateAndCloseStopProcessing) {
  for (int i = 0; i < 50; ++i) card->Pump();
  Realtime(*f->form).FormDeactivate();
  EXPECT_FALSE(live->Input().IsOpen());
  for (int i = 0; i < 50; ++i) card->Pump();  // the queue plays out
  EXPECT_EQ(LoudestOfLast(1000), 0.0f);

  f->form->Btn("Button_STOP_RT").Click();
  f->form->Btn("Button_RUN_RT").Click();
  f->loop.AdvanceBy(500, f->clock);
  for (int i = 0; i < 200; ++i) card->Pump();
  EXPECT_GT(LoudestOfLast(1000), 0.0f);
  Realtime(*f->form).FormCloseQuery();  // clicks Stop
  EXPECT_FALSE(card->Running());
  Realtime(*f->form).FormClose();
  EXPECT_TRUE(f->form->Btn("Button_RUN_RT").Enabled());
  EXPECT_FALSE(f->form->Btn("Button_STOP_RT").Enabled());
}

TEST_F(LiveFixture, LostDeviceIsStoppedAsByTheUserWithTheTakeFinishedAndTheReasonShown) {
  const auto take = std::filesystem::temp_directory_path() / ("fretwerk-lost-" + std::to_string(getpid()));
  TForm1& form = *f->form;
  form.Get<ui::Edit>("Edit_Open_R").SetText(take.string());
  form.Btn("BitBtn_Start_Record").Click();
  for (int i = 0; i < 100; ++i) card->Pump();
  const std::int32_t recorded = f->engine->params.RecordIndex.load();
  ASSERT_GT(recorded, 0);

  live->DeviceLost("the test pulled the plug");
  EndSessionOnDeviceLoss(form, live->LostReason());
  EXPECT_FALSE(card->Running());
  EXPECT_TRUE(form.Btn("Button_RUN_RT").Enabled());
  EXPECT_FALSE(form.Btn("BitBtn_Stop_R").Enabled());
  EXPECT_EQ(form.Status().SimpleText(), "audio device lost: the test pulled the plug");
  const auto bytes = std::filesystem::file_size(take.string() + ".au");
  std::filesystem::remove(take.string() + ".au");
  EXPECT_EQ(bytes, 128u + 2u * static_cast<std::uintmax_t>(recorded));
}

}  // namespace
}  // namespace fw::test
