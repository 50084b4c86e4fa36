// The device callback path allocates nothing, locks nothing: wave-input gathering,
// the chain with every stage on, the output queue, the chorus and both converters.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/system_services.h"
#include "audio/realtime_control.h"
#include "chain_setup.h"
#include "loopback_rig.h"
#include "support/engine_fixture.h"
#include "support/realtime_guard.h"

namespace fw::test {
namespace {

class NoSystem final : public SystemServices {
 public:
  std::int64_t TimeOfDayMs() override { return 0; }
  bool HasRing0Drivers() override { return false; }
  std::string ProgramDirectory() override { return "./"; }
  void RequestTerminate() override {}
  void EndProgramNow() override {}
};

void EveryStageOn(EngineParams& p) {
  p.PreEqOn.store(1);
  p.PostEqOn.store(1);
  p.HiPassOn.store(1);
  p.HiPreOn.store(1);
  p.SoftDistortionOn.store(1.0f);
  p.Fvc1On.store(1);
  p.DistortionType.store(1);
  p.LowBoostOn.store(1);
  p.TubeOn.store(1);
  p.LowPass2On.store(1);
  p.FlangerOn.store(1);
  p.EchoOn.store(1);
  p.ReverbOn.store(1);
}

TEST(RealtimePath, DeviceCallbackAllocatesAndLocksNothing) {
  VirtualCardOptions options;
  options.pacing = VirtualCardOptions::Pacing::Manual;
  options.rate = 48000;  // the engine runs at 44100: both converters work
  auto device = std::make_unique<VirtualSoundCard>(options);
  LiveAudio live(std::move(device), &MakeSpeexRateConverter);
  NoSystem system;
  Platform platform;
  platform.output = &live.Output();
  platform.waveIn = &live.Input();
  platform.system = &system;
  FormFixture f(platform);
  f.form->Group("RadioGroup_NameOfSC").SetItemIndex(2);
  DesignChainAsActivationWould(*f.form);
  f.form->Btn("Button_RUN_RT").Click();
  f.loop.AdvanceBy(500, f.clock);
  ASSERT_TRUE(live.Input().IsStarted());
  EveryStageOn(f.engine->params);
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
