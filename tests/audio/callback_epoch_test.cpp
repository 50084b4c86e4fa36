// Waiting for a device callback to end while callbacks run back to back, as a busy
// device thread runs them: an in-callback flag stays set for ever there.
#include "core/callback_epoch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "legacy_rig.h"

namespace fw::test {
namespace {

TEST(CallbackEpoch, QuiesceReturnsWhileCallbacksRunBackToBack) {
  CallbackEpoch callbacks;
  std::atomic<bool> running{true};
  std::atomic<int> seen{0};
  std::thread device([&] {
    callbacks.Enter();
    while (running.load()) {
      seen.store(seen.load() + 1);
      callbacks.Leave();
      callbacks.Enter();
    }
    callbacks.Leave();
  });
  std::atomic<int> quiesced{0};
  std::thread waiter([&] {
    for (int i = 0; i < 1000; ++i) {
      callbacks.Quiesce();
      quiesced.fetch_add(1);
    }
  });
  EXPECT_TRUE(SpinUntil([&] { return quiesced.load() == 1000; })) << "Quiesce waited for ever";
  running.store(false);
  device.join();
  waiter.join();
}

}  // namespace
}  // namespace fw::test
