#pragma once
// The chain's buffers, sized once for the life of the program.
#include <atomic>
#include <cstdint>

namespace fw {

inline constexpr int kWorkCapacity = 17001;
inline constexpr int kDryCapacity = 1001;  // no block is longer than this

struct ChainBuffers {
  float work[kWorkCapacity] = {};
  float dry[kDryCapacity] = {};
  std::int16_t waveOut[kDryCapacity] = {};  // library mode's output block, before the output library takes it
};

// Sound-file samples mixed into the chain, refilled half by half by the file reader
// on the window thread while the chain reads the other half. Relaxed 16-bit atomics:
// the request words are the only handshake, and no access is a data race.
struct FileBuffer {
  static constexpr int kCapacity = 23221;
  std::atomic<std::int16_t> samples[kCapacity] = {};

  // Blocks longer than the buffer was laid out for read silence past its end.
  std::int16_t At(int index) const noexcept {
    return index < kCapacity ? samples[index].load(std::memory_order_relaxed) : std::int16_t{0};
  }
  void Set(int index, std::int16_t v) noexcept { samples[index].store(v, std::memory_order_relaxed); }
};

// The record ring, allocated by the recorder on the window thread when recording
// starts (ring size + 50 spare samples). The chain only writes through the pointer
// while RecordActive, RecordFull and RecordRingSize allow it.
//
// Hand-over: a tap enters before it reads the pointer and leaves after its last use
// of the ring. The recorder closes the ring (pointer to null) and waits until no tap
// is inside before it empties the ring, changes its words or frees it. The pointer
// and the count are sequentially consistent, so either a tap sees the null pointer
// or the recorder sees the tap inside.
struct RecordRing {
  static constexpr int kSpare = 50;
  // The last 5000 positions and the one past them read zero after every tap.
  static constexpr std::int32_t kGuardZone = 5000;
  std::atomic<std::atomic<std::int16_t>*> samples{nullptr};
  std::atomic<std::int32_t> tapsInside{0};
  // The record index after a tap's last write, published with release: the recorder
  // saves the samples below it while the ring stays open.
  std::atomic<std::int32_t> written{0};
  // Audio side: the ring and size whose guard zone the taps have cleared. The zone
  // stays clear, as only the taps write the ring: later blocks clear only what they
  // wrote into it.
  std::atomic<std::atomic<std::int16_t>*> zoneClearedRing{nullptr};
  std::atomic<std::int32_t> zoneClearedSize{0};

  // Audio side: the ring (or nullptr while the recorder holds it), valid until LeaveTap.
  std::atomic<std::int16_t>* EnterTap() noexcept {
    tapsInside.fetch_add(1, std::memory_order_seq_cst);
    return samples.load(std::memory_order_seq_cst);
  }
  void LeaveTap() noexcept { tapsInside.fetch_sub(1, std::memory_order_release); }
};

}  // namespace fw
