#pragma once
// What the chain's device adapters reach beyond the engine: library mode's capture
// buffers, where its finished blocks and overload messages go, and ring-0 mode's
// shared block. The audio mode that runs an adapter wires these up; the engine
// itself holds DSP state only.
#include <cstdint>

#include "audio/realtime_shared.h"
#include "audio/wave_in_buffers.h"
#include "core/message_port.h"

namespace fw {

// Plays one finished library-mode block (the output library's out_to_dsound).
class BlockPlayer {
 public:
  virtual ~BlockPlayer() = default;
  // Audio thread: copies one block before returning.
  virtual void out_to_dsound(const std::int16_t* block) noexcept = 0;
};

struct ChainIo {
  WaveInState waveIn;
  RealtimeShared realtime;
  BlockPlayer* output = nullptr;
  MessagePort* messages = nullptr;
};

}  // namespace fw
