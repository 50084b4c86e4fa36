// The device callback path allocates nothing, locks nothing: wave-input gathering,
// the chain with every stage on, the output queue, the chorus and both converters.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/realtime/realtime_control.h"
#include "loopback_rig.h"
#include "support/chain_setup.h"
#include "support/engine_fixture.h"
#include "support/fake_system_services.h"
#include "support/realtime_guard.h"
#include "support/stage_setup.h"

namespace fw::test {
namespace {

TEST(RealtimePath, DeviceCallbackAllocatesAndLocksNothing) {
  VirtualCardOptions options;
  options.pacing = VirtualCardOptions::Pacing::Manual;
  options.rate = 48000;  // the engine runs at 44100: both converters work
  auto device = std::make_unique<VirtualSoundCard>(options);
  LiveAudio live(std::move(device), &MakeSpeexRateConverter);
  FakeSystemServices system;
  FormFixture f(SessionPlatform({nullptr, &system, nullptr}, &live));
  f.form->Group("RadioGroup_NameOfSC").SetItemIndex(2);
  DesignChainAsActivationWould(*f.form);
  f.form->Btn("Button_RUN_RT").Click();
  f.loop.AdvanceBy(500, f.clock);
  ASSERT_TRUE(live.Input().IsStarted());
  test::SetEveryStage(f.engine->params, 1);
  live.Output().setup_stereo(2);
  live.Output().setup_max_chorus_delay(800);

  std::vector<float> in(4096), left(4096), right(4096);
  const int periods[] = {128, 64, 1000, 4096, 220};
  ResetRealtimeViolations();
  float phase = 0.0f;
  for (int round = 0; round < 600; ++round) {
    const int n = periods[round % 5];
    for (int i = 0; i < n; ++i) {
      in[static_cast<std::size_t>(i)] = 0.8f * std::sin(phase);
      phase += 0.05f;
    }
    if (round == 300) f.form->Btn("BitBtn_latPlus").Click();  // a shift while audio flows
    RealtimeScope scope;
    live.Process(in.data(), left.data(), right.data(), n);
  }
  EXPECT_EQ(RealtimeViolations(), 0) << FirstRealtimeViolation();
  float peak = 0.0f;
  for (float v : left) peak = std::max(peak, std::fabs(v));
  EXPECT_GT(peak, 0.0f);
  EXPECT_GT(live.Input().QueuedBuffers(), 200);  // the chain gives every buffer back
  f.form->Btn("Button_STOP_RT").Click();
}

}  // namespace
}  // namespace fw::test
