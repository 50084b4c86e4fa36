// The automatic delay on a JACK server of the tests' own (dummy backend, 128 frames):
// clicks through fretwerk with every stage off, measured from its input port to its
// output port in the server's frames. The dummy driver runs in real time at a fixed
// period (asking it to wait less shortens the period instead), so each session plays
// 20 seconds: past the start's measurement and many cycles of every pattern the
// period, the 220-sample blocks and the converters' batches make together.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "audio/linux/device_factory.h"
#include "audio/linux/jack_click_client.h"
#include "audio/linux/jack_device.h"
#include "jack_form.h"
#include "jack_server.h"
#include "support/chain_setup.h"
#include "support/engine_fixture.h"
#include "support/stage_setup.h"

namespace fw::test {
namespace {

struct Measured {
  std::vector<int> delays;  // device frames, one per click
  int delay = 0;            // what the library keeps, engine samples
  int underruns = 0;        // our queue ran dry: a fault of ours
  int xruns = 0;            // the server missed a deadline: the machine's load
};

// Start through the window as a user would, then `seconds` of audio.
Measured Session(int seconds) {
  Measured m;
  std::string error;
  JackForm jack;
  EXPECT_TRUE(jack.Open(error)) << error;
  if (jack.live == nullptr) return m;
  auto& live = jack.live;
  FormFixture& f = *jack.f;
  jack.Start();
  EXPECT_TRUE(f.form->Box("CheckBox_AWE_44_1").Checked());
  SetEveryStage(f.engine->params, 0);

  const int rate = live->DeviceRate();
  ClickProbe probe;
  probe.interval = rate / 4;
  probe.longest = 4096;
  JackClickClient clicks(probe, static_cast<std::size_t>(seconds + 1) * static_cast<std::size_t>(rate));
  EXPECT_TRUE(clicks.Open("fretwerk-test", error)) << error;
  auto& device = dynamic_cast<JackDevice&>(live->Device());
  EXPECT_TRUE(clicks.Connect(device.InputPortName(), device.LeftPortName()));
  clicks.Begin();
  const std::int64_t frames = static_cast<std::int64_t>(seconds) * rate;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(2 * seconds + 30);
  while (clicks.Recorded() < frames && std::chrono::steady_clock::now() < giveUp)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GE(clicks.Recorded(), frames);
  m.delay = live->Output().DelaySamples();
  m.underruns = live->Output().Underruns();
  m.xruns = clicks.Xruns();
  clicks.Close();
  f.form->Btn("Button_STOP_RT").Click();
  // From the second second on: the first moments measure the device in silence.
  m.delays = probe.Delays(clicks.Heard(), rate);
  return m;
}

struct JackLatency : ::testing::Test {
  JackServer server;
  void Boot(int rate) {
    if (!JackdInstalled()) GTEST_SKIP() << "jackd is not installed: the JACK tests need the jackd2 package";
    ASSERT_TRUE(server.Start(rate, 128)) << "jackd -n " << server.Name() << " did not come up";
  }
};

// Block plus two periods plus the converters' share: the most the automatic delay may keep.
constexpr int kMostDelay = 220 + 2 * 128 + 64;

// Every click comes back after the same delay, within the bound, with no underrun of our
// queue (server xruns may shift single clicks on a busy machine).
void ExpectSteady(const Measured& m, int spread) {
  ASSERT_GT(m.delays.size(), 60u);
  const int median = MedianDelay(m.delays);
  EXPECT_LE(median, kMostDelay);
  EXPECT_EQ(m.underruns, 0);
  const auto off =
      std::count_if(m.delays.begin(), m.delays.end(), [&](int d) { return std::abs(d - median) > spread; });
  if (m.xruns == 0) {
    EXPECT_EQ(off, 0);
  }
  EXPECT_LE(off, m.xruns);
}

TEST_F(JackLatency, AutomaticDelayAt44100HoldsAtTheSmallestQueue) {
  Boot(44100);
  if (IsSkipped()) return;
  const Measured m = Session(20);
  ExpectSteady(m, 0);
  // The queue's delay, and the few samples by which the chain's remaining filters put
  // the click's loudest point later.
  EXPECT_GE(MedianDelay(m.delays), m.delay);
  EXPECT_LE(MedianDelay(m.delays), m.delay + 32);
}

TEST_F(JackLatency, AutomaticDelayAt48000HoldsThroughTheConverters) {
  Boot(48000);
  if (IsSkipped()) return;
  const Measured m = Session(20);
  ExpectSteady(m, 2);
}

}  // namespace
}  // namespace fw::test
