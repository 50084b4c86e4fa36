#include "audio/realtime_chain.h"

#include "audio/realtime_shared.h"
#include "core/denormals.h"
#include "core/polite_wait.h"
#include "engine/chain.h"

namespace fw {

static_assert(RealtimeShared::kBlockSamples == kRealtimeBlockSamples);

void RealtimeProcessSharedBlock(Engine& e, RealtimeShared& shared) noexcept {
  std::int16_t block[kRealtimeBlockSamples];
  shared.ReadBlock(block);
  Chain(e).Process(Driver::Realtime, block, block, kRealtimeBlockSamples);
  shared.WriteBlock(block);
  shared.ready.store(0);
}

std::uint32_t RealtimeThreadLoop(Engine& e, RealtimeShared& shared, void* ignored) noexcept {
  (void)ignored;
  FlushDenormalsOnThisThread();
  shared.threadState.store(1);
  while (shared.runFlag.load() == 1) {
    const std::int32_t cardType = e.params.CardType.load();
    if (cardType == 1) {
      if (shared.event != nullptr) shared.event->Wait();
    } else if (cardType == 0) {
      // Wait for the ready word: a short spin, then a sleep the card's wake ends. A
      // cleared run flag ends the wait too, so that stopping never hangs on a driver
      // that has gone quiet.
      WaitWhileEquals(shared.ready, 0, shared.readySleepers,
                      [&shared] { return shared.runFlag.load() == 1; });
    }
    while (shared.suspended.load(std::memory_order_acquire) == 1 && shared.runFlag.load() == 1) {
      shared.suspended.wait(1);
    }
    if (shared.runFlag.load() != 1) break;
    RealtimeProcessSharedBlock(e, shared);
  }
  shared.threadState.store(-1);
  return 0;
}

}  // namespace fw
