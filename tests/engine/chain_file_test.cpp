// File mix-in: once per block, before or after the effects, and the block counter
// with its refill requests for every driver.
#include <gtest/gtest.h>

#include "support/chain_rig.h"

namespace fw {
namespace {

using test::ChainRig;
using test::Silence;

struct CounterCase {
  const char* name;
  int wrap, requestTwoAt, requestOneAt;
  std::function<void(ChainRig&)> block;
};

std::vector<CounterCase> Cases() {
  return {
      {"wave-in", 100, 10, 60, [](ChainRig& r) { r.WaveIn(Silence(220)); }},
      // The direct driver follows RealtimeBlockLength, not its own block length.
      {"direct, realtime block 128", 120, 10, 70,
       [](ChainRig& r) {
         r.p.RealtimeBlockLength.store(128);
         r.Direct(Silence(184));
       }},
      {"direct, realtime block 256", 60, 5, 35,
       [](ChainRig& r) {
         r.p.RealtimeBlockLength.store(256);
         r.Direct(Silence(184));
       }},
      {"realtime 128", 160, 10, 90,
       [](ChainRig& r) {
         r.p.RealtimeBlockLength.store(128);
         r.Realtime(Silence(256));
       }},
      {"realtime 256", 80, 5, 45,
       [](ChainRig& r) {
         r.p.RealtimeBlockLength.store(256);
         r.Realtime(Silence(256));
       }},
  };
}

TEST(FileBlockCounter, RunsThroughItsPeriodAndRaisesBothRequestsPerDriver) {
  for (const bool viaEffects : {false, true}) {
    for (const CounterCase& c : Cases()) {
      SCOPED_TRACE(std::string(c.name) + (viaEffects ? ", before the effects" : ", after the effects"));
      ChainRig rig;
      rig.form.Box("CheckBox_wav_via_effects").SetChecked(viaEffects);
      std::vector<int> counters;
      int requestTwo = -1;
      int requestOne = -1;
      for (int block = 0; block < c.wrap + 1; ++block) {
        c.block(rig);
        counters.push_back(rig.p.FileBlockCounter.load());
        const int request = rig.p.FileRefillRequest.load();
        if (request == 2 && requestTwo < 0) requestTwo = counters.back();
        if (request == 1 && requestOne < 0) requestOne = counters.back();
        rig.p.FileRefillRequest.store(0);  // as the file reader does
      }
      std::vector<int> expected;
      for (int k = 1; k < c.wrap; ++k) expected.push_back(k);
      expected.push_back(0);
      expected.push_back(1);
      EXPECT_EQ(counters, expected);
      EXPECT_EQ(requestTwo, c.requestTwoAt);
      EXPECT_EQ(requestOne, c.requestOneAt);
    }
  }
}

TEST(FileMixIn, BlockKOfTheFileBufferIsMixedInAtTheFileGain) {
  ChainRig rig;
  std::vector<std::int16_t> file(440);
  file[220] = 100;
  file[439] = -7;
  rig.SetFile(file, 3.0f);
  rig.p.FileBlockCounter.store(1);
  const auto out = rig.WaveIn(Silence(220));
  EXPECT_EQ(out[0], 300);
  EXPECT_EQ(out[219], -21);
  EXPECT_EQ(rig.p.FileBlockCounter.load(), 2);
}

TEST(FileMixIn, BeforeTheEffectsTheFileTakesTheLivePath) {
  // A file mixed before the effects must come out exactly as the same samples
  // played live (gains of 1), whatever the stages do; after the effects it is added
  // once, untouched.
  std::vector<std::int16_t> signal(220);
  for (int i = 0; i < 220; ++i)
    signal[static_cast<std::size_t>(i)] = static_cast<std::int16_t>((i * 97) % 4000 - 2000);

  ChainRig live;
  live.p.LiveInputFactor.store(1.0f);
  const auto liveOut = live.Direct(signal);

  ChainRig before;
  before.form.Box("CheckBox_wav_via_effects").SetChecked(true);
  before.p.LiveInputFactor.store(1.0f);
  before.SetFile(signal);
  EXPECT_EQ(before.Direct(Silence(220)), liveOut);

  ChainRig after;
  after.SetFile(signal);
  EXPECT_EQ(after.Direct(Silence(220)), signal);
}

TEST(FileMixIn, ACounterSetOutOfRangeReadsSilence) {
  ChainRig rig;
  rig.SetFile({5});
  rig.p.FileBlockCounter.store(-3);
  EXPECT_EQ(rig.Direct(Silence(10))[0], 0);
  rig.p.FileBlockCounter.store(2000000000);
  EXPECT_EQ(rig.Direct(Silence(10))[0], 0);
}

}  // namespace
}  // namespace fw
