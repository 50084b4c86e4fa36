// The front stages in one loop per block must be the stages in turn, bit for bit:
// for every set of switches (the soft distortion shaping by the envelope or per
// sample, with or without the input gain left to it), the pre equaliser in either
// width, blocks of 1, 7 and 1001 samples, the state carried from block to block,
// and the low boost's side buffer.
#include "engine/front_stages.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/stage_setup.h"

namespace fw {
namespace {

enum Switch { kPreEq = 1, kHiPass = 2, kHiPre = 4, kSoft = 8, kPerSample = 16, kFvc1 = 32, kMuted = 64 };

void Prepare(Engine& e, int set) {
  test::DesignStages(e);
  e.eq.DesignPreEqualiser(22050.0f);
  e.eq.SetPreBandGain(2, 80);
  e.filters.HiPreCoefficient.store(0.3f);
  e.filters.HiPreGain.store(1.5f);
  e.filters.Fvc1Gain.store(1.25f);
  e.filters.Fvc3Gain.store(0.8f);
  EngineParams& p = e.params;
  p.PreEqOn.store((set & kPreEq) != 0), p.HiPassOn.store((set & kHiPass) != 0);
  p.HiPreOn.store((set & kHiPre) != 0), p.Fvc1On.store((set & kFvc1) != 0);
  p.SoftDistortionOn.store((set & kSoft) != 0 ? 1.0f : 0.0f);
  e.distortion.SoftArmed.store(1);
  e.distortion.SoftDivisor.store((set & kPerSample) != 0 ? 1 : 15);
  p.InputGain.store(1.5f);
  p.LiveInputFactor.store((set & kMuted) != 0 ? 0.0f : 1.0f);
}

void RunInTurn(Engine& e, int n, BankWidth width) {
  const EngineParams& p = e.params;
  float* w = e.buffers.work;
  if (p.PreEqOn.load() == 1) e.eq.pre.Process(w, n, width);
  if (p.HiPassOn.load() == 1) e.filters.FixedHighPass(w, n);
  if (p.HiPreOn.load() == 1) e.filters.HiPreSectionA(w, n), e.filters.HiPreSectionB(w, n);
  e.filters.Fvc3Filter(w, n);
  const float softGain = p.LiveInputFactor.load() < 0.5f ? p.InputGain.load() : 1.0f;
  if (p.SoftDistortionOn.load() == 1.0f) e.distortion.SoftDistortion(w, n, softGain);
  if (p.Fvc1On.load() == 1) e.filters.Fvc1Filter(w, e.lowBoost.Side(), n);
}

TEST(FrontStages, OneLoopIsTheStagesInTurnBitForBit) {
  const int widths = WidestBankWidth() == BankWidth::kEight ? 2 : 1;
  for (int set = 0; set < 128 * widths; ++set) {
    const BankWidth width = set < 128 ? BankWidth::kFour : BankWidth::kEight;
    auto fused = MakeEngine();
    auto turns = MakeEngine();
    Prepare(*fused, set % 128);
    Prepare(*turns, set % 128);
    int block = 0;
    for (const int n : {1, 7, 1001, 7, 1001, 1}) {
      for (int i = 0; i < n; ++i) {
        const auto x = static_cast<float>(((i + 13 * block) * 7919) % 12001 - 6000);
        fused->buffers.work[i] = turns->buffers.work[i] = x;
      }
      RunFrontStages(*fused, n, true, width);
      RunInTurn(*turns, n, width);
      const auto bytes = sizeof(float) * static_cast<std::size_t>(n);
      ASSERT_EQ(std::memcmp(fused->buffers.work, turns->buffers.work, bytes), 0)
          << "set " << set << " block " << block;
      ASSERT_EQ(std::memcmp(fused->lowBoost.Side(), turns->lowBoost.Side(), bytes), 0) << "set " << set;
      ++block;
    }
  }
}

}  // namespace
}  // namespace fw
