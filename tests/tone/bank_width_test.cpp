// The band banks run four lanes wide or, with AVX2, eight: both widths must give
// the same bits, block after block, whatever the band count and fold mode.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "tone/graphic_equalisers.h"
#include "tone/tube_stages.h"

namespace fw {
namespace {

// Loud enough to fold, with odd block lengths so chunk tails and the scalar sum run.
std::vector<float> Guitar(int n) {
  std::vector<float> x(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    x[static_cast<std::size_t>(i)] = 14000.0f * std::sin(0.031f * static_cast<float>(i)) +
                                     3000.0f * std::sin(0.53f * static_cast<float>(i)) -
                                     (i == 100 ? -0.0f : 0.0f);
  }
  return x;
}

bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// Runs a and b block by block (lengths 1, 7, 64, 220, 1001 in turn) and compares.
template <class Stage, class RunA, class RunB>
void ExpectAgree(Stage& a, Stage& b, RunA runA, RunB runB) {
  const std::vector<float> input = Guitar(1293);
  std::vector<float> outA = input, outB = input;
  int start = 0;
  for (int block : {1, 7, 64, 220, 1001}) {
    runA(a, outA.data() + start, block);
    runB(b, outB.data() + start, block);
    start += block;
  }
  EXPECT_TRUE(SameBits(outA, outB));
}

template <class Stage, class Run>
void ExpectWidthsAgree(Stage& four, Stage& eight, Run run) {
  if (WidestBankWidth() != BankWidth::kEight) GTEST_SKIP() << "no AVX2 on this CPU";
  ExpectAgree(
      four, eight, [&](Stage& s, float* w, int n) { run(s, w, n, BankWidth::kFour); },
      [&](Stage& s, float* w, int n) { run(s, w, n, BankWidth::kEight); });
}

void DesignTube(TubeStages& t, int cascade, int bands) {
  t.DesignFoldBank(cascade, 3.0f, 0.95f, 0.5f, 44100);
  t.DesignVoiceBank(3.0f, 3.0f, 44100);
  t.FoldThreshold.store(900.0f);
  t.FoldBandCount.store(bands);
}

TEST(BankWidths, FoldBankAgreesInEveryModeAndBandCount) {
  for (int cascade : {0, 1}) {
    for (int bands : {16, 11, 13}) {
      auto four = std::make_unique<TubeStages>(), eight = std::make_unique<TubeStages>();
      for (TubeStages* t : {four.get(), eight.get()}) DesignTube(*t, cascade, bands);
      ExpectWidthsAgree(*four, *eight,
                        [](TubeStages& t, float* w, int n, BankWidth width) { t.FoldBank(w, n, width); });
    }
  }
}

TEST(BankWidths, FoldThenVoiceInOnePassIsBothBanksInTurn) {
  for (BankWidth width : {BankWidth::kFour, WidestBankWidth()}) {
    for (int cascade : {0, 1}) {
      auto turns = std::make_unique<TubeStages>(), fused = std::make_unique<TubeStages>();
      DesignTube(*turns, cascade, 13);
      DesignTube(*fused, cascade, 13);
      ExpectAgree(
          *turns, *fused,
          [width](TubeStages& t, float* w, int n) { t.FoldBank(w, n, width), t.VoiceBank(w, n, width); },
          [width](TubeStages& t, float* w, int n) { t.FoldThenVoice(w, n, width); });
    }
  }
}

TEST(BankWidths, VoiceBankAndEqualiserAgree) {
  auto four = std::make_unique<TubeStages>(), eight = std::make_unique<TubeStages>();
  for (TubeStages* t : {four.get(), eight.get()}) {
    t->DesignVoiceBank(3.0f, 3.0f, 22050);
    t->VoiceBand6Gain.store(1.5f);
  }
  ExpectWidthsAgree(*four, *eight,
                    [](TubeStages& t, float* w, int n, BankWidth width) { t.VoiceBank(w, n, width); });
  GraphicEqualiser eqFour, eqEight;
  for (GraphicEqualiser* eq : {&eqFour, &eqEight}) {
    eq->Design(22050);
    for (int band = 1; band < kEqualiserBands; ++band) eq->SetBandGain(band, 10 * band);
  }
  ExpectWidthsAgree(eqFour, eqEight,
                    [](GraphicEqualiser& eq, float* w, int n, BankWidth width) { eq.Process(w, n, width); });
}

}  // namespace
}  // namespace fw
