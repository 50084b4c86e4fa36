#pragma once
// The program side of ring-0 mode: the realtime driver of the card type, its
// requests, and the realtime thread that processes the driver's blocks. Window
// thread; the thread itself runs RealtimeThreadLoop.
#include <cstdint>

#include "audio/auto_reset_event.h"
#include "modes/mode_host.h"
#include "modes/ring0_thread.h"

namespace fw {

struct Engine;
struct RealtimeShared;

class Ring0Mode {
 public:
  // The block's event is this mode's; with `ring0Drivers` the block is shared with
  // the kernel and the event gets its ring-0 handle.
  Ring0Mode(ModeHost& host, Engine& engine, RealtimeShared& shared, bool ring0Drivers);
  ~Ring0Mode();
  Ring0Mode(const Ring0Mode&) = delete;
  Ring0Mode& operator=(const Ring0Mode&) = delete;

  // Opens the card type's driver unless one is open; false when it cannot be.
  bool OpenDriver(std::int32_t cardType);
  // The driver's requests (event, set-up, start), then the thread.
  void Start(int irq, int dma8, int dma16);
  // Lets the thread out of its loop (never in the middle of a block) and waits for
  // it; `limit` bounds the wake-ups, as the original's counter did.
  void LeaveThread(float limit);
  // Release request and close; nothing when no driver is open.
  void ReleaseDriver();

  std::intptr_t driver = -1;
  AutoResetEvent event;
  std::uint32_t eventHandle = 0;  // the event's ring-0 handle, 0 without ring-0 drivers

 private:
  ModeHost& host_;
  Engine& engine_;
  RealtimeShared& shared_;
  Ring0Thread thread_;
};

}  // namespace fw
