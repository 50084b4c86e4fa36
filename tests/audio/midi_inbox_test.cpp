// The MIDI inbox between a device thread and the window thread: every change arrives
// once and in order or is counted as dropped, other messages are ignored, and after
// Detach nothing is posted any more.
#include "audio/midi_inbox.h"

#include <gtest/gtest.h>

#include <thread>

#include "ui/clock.h"
#include "ui/window_loop.h"

namespace fw::test {
namespace {

TEST(MidiInbox, ChangesFromADeviceThreadArriveInOrderOrAreCountedAsDropped) {
  constexpr int kChanges = 5000;
  ui::SteadyClock clock;
  ui::WindowLoop loop{clock};
  MidiInbox inbox;
  inbox.Attach(&loop);
  int received = 0;
  int last = -1;
  bool ordered = true;
  loop.OnMessage(kMidiMessage, [&] {
    for (MidiMessage m; inbox.Pop(m); ++received) {
      const int value = m.data1 << 7 | m.data2;
      ordered = ordered && m.IsControlChange() && value > last;
      last = value;
    }
  });
  std::atomic<bool> done{false};
  std::thread device([&] {
    const unsigned char note[] = {0x90, 60, 100};
    inbox.Receive(note, sizeof note);
    for (int i = 0; i < kChanges; ++i) {
      const unsigned char change[] = {0xB0, static_cast<unsigned char>(i >> 7),
                                      static_cast<unsigned char>(i & 0x7F)};
      inbox.Receive(change, sizeof change);
    }
    done.store(true);
  });
  while (!done.load()) loop.PumpOnce();
  device.join();
  while (loop.PumpOnce()) {
  }
  EXPECT_TRUE(ordered);
  EXPECT_GT(received, 0);
  EXPECT_EQ(received + inbox.Dropped(), kChanges);

  inbox.Detach();
  const unsigned char program[] = {0xC0, 1};
  inbox.Receive(program, sizeof program);
  EXPECT_FALSE(loop.PumpOnce());
}

}  // namespace
}  // namespace fw::test
