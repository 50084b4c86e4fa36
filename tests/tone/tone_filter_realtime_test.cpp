// The tone filters and distortions run on the audio thread: no allocation, free
// or lock in any of them, over many blocks with every path taken.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "support/realtime_guard.h"
#include "tone/distortions.h"
#include "tone/tone_filters.h"

namespace fw {
namespace {

TEST(ToneStagesRealtime, NoStageAllocatesOrLocks) {
  auto filters = std::make_unique<ToneFilters>();
  auto distortions = std::make_unique<Distortions>();
  filters->HiPassGain.store(2.0f);
  filters->LowPass2Coefficient.store(0.3f);
  std::array<float, 368> work{};
  std::array<float, 368> side{};
  const int n = static_cast<int>(work.size());

  test::ResetRealtimeViolations();
  {
    test::RealtimeScope scope;
    for (int block = 0; block < 2000; ++block) {
      for (int i = 0; i < n; ++i)
        work[static_cast<std::size_t>(i)] = 8000.0f * std::sin(0.01f * static_cast<float>(block * n + i));
      filters->FixedHighPass(work.data(), n);
      filters->HiPreSectionA(work.data(), n);
      filters->HiPreSectionB(work.data(), n);
      filters->Fvc3Filter(work.data(), n);
      distortions->SoftDivisor.store(block % 2 == 0 ? 1 : 15);  // both gain paths
      distortions->SoftDistortion(work.data(), n, 1.0f);
      filters->Fvc1Filter(work.data(), side.data(), n);
      distortions->Waveshaper(work.data(), n);
      distortions->Waveshaper(side.data(), n);
      filters->FixedSection(work.data(), n);
      filters->Fvc2Stage(work.data(), n);
      filters->LowPass2(work.data(), n);
      filters->Fvc1Step(block);
    }
  }
  EXPECT_EQ(test::RealtimeViolations(), 0) << test::FirstRealtimeViolation();
}

}  // namespace
}  // namespace fw
