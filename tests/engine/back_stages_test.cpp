#include "engine/back_stages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "support/stage_setup.h"

namespace fw {
namespace {

void SetUpBack(Engine& e, int brightness) {
  test::DesignStages(e);
  e.elliptic.SelectBrightness(brightness);
  e.eq.DesignPostEqualiser(22050.0f);
  e.eq.SetPostBandGain(3, 80);
  e.echo.EchoDelay.store(150);  // echoes of samples a short block ago
  e.echo.EchoSweepOn.store(1);
  e.reverb.ReverbDelay2.store(300);
}

void SetBackSwitches(EngineParams& p, int combination) {
  p.PostEqOn.store(combination & 1);
  p.EchoOn.store((combination >> 1) & 1);
  p.LowPass2On.store((combination >> 2) & 1);
  p.FlangerOn.store((combination >> 3) & 1);
  p.ReverbOn.store((combination >> 4) & 1);
}

// Every driver's order, both elliptic orders, each bank width the CPU has, every
// combination of switches changing between blocks of 1, 7 and 1001 samples: the
// fused stages give the bits of the stages one after another.
TEST(BackStages, FusedIsTheStagesInTurnBitForBit) {
  const Driver drivers[] = {Driver::WaveIn, Driver::Direct, Driver::Realtime};
  const BankWidth widths[] = {BankWidth::kFour, WidestBankWidth()};
  const int lengths[] = {1, 7, 1001};
  std::vector<float> fusedWork(1001);
  std::vector<float> turnsWork(1001);
  for (const Driver driver : drivers) {
    for (const BankWidth width : widths) {
      for (const int brightness : {2, 3}) {  // orders 6 and 5
        auto fused = MakeEngine();
        auto turns = MakeEngine();
        SetUpBack(*fused, brightness);
        SetUpBack(*turns, brightness);
        int at = 0;
        for (int combination = 0; combination < 32; ++combination) {
          SetBackSwitches(fused->params, combination);
          SetBackSwitches(turns->params, combination);
          for (const int n : lengths) {
            for (int i = 0; i < n; ++i, ++at) {
              const float t = static_cast<float>(at) / 22050.0f;
              fusedWork[i] = turnsWork[i] =
                  9000.0f * std::sin(6.2831853f * 196.0f * t) + 3000.0f * std::sin(6.2831853f * 2950.0f * t);
            }
            RunBackStages(*fused, fusedWork.data(), n, driver, width);
            RunBackStagesInTurn(*turns, turnsWork.data(), n, driver);
            ASSERT_EQ(std::memcmp(fusedWork.data(), turnsWork.data(), sizeof(float) * n), 0)
                << "driver " << static_cast<int>(driver) << ", width " << static_cast<int>(width)
                << ", brightness " << brightness << ", switches " << combination << ", block " << n;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace fw
