#pragma once
// The player: window-thread side of file playback. Two slots, A and B, each with
// its own open file; the file reader refills the half of the file buffer that the
// chain has asked for, from the selected slot. The chain mixes the buffer in and
// raises the requests; the request word is the only handshake.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "files/sample_stream.h"

namespace fw {

class FilePlayer {
 public:
  static constexpr int kSlotA = 0;
  static constexpr int kSlotB = 1;
  // Samples per read of the pre-read that runs through the file once at open.
  static constexpr int kPreReadChunk = 23220;

  explicit FilePlayer(Engine& engine);

  // False (and the slot unchanged) when the file cannot be opened.
  bool Open(int slot, const std::string& path);
  bool HasFile(int slot) const { return streams_[Index(slot)].IsOpen(); }
  bool IsAuFile(int slot) const { return streams_[Index(slot)].Swapped(); }

  // Reads the slot's file once from its start, then returns to the start and
  // clears the file buffer.
  void PreRead(int slot);

  void Play();  // clears the request and sets WavFileGain to 1
  void Stop();  // clears the request and the file buffer

  // The file reader's tick after the chunk is settled: serves request 2, then 1.
  void ServeRefillRequests();

  int SelectedSlot() const { return selected_; }
  void SelectSlot(int slot) { selected_ = Index(slot); }

 private:
  static int Index(int slot) { return slot == kSlotB ? kSlotB : kSlotA; }
  int Chunk() const;
  void RefillHalf(int offset, int chunk);
  void ClearBuffer();
  void Store(int offset, int count);

  Engine& engine_;
  std::array<SampleStream, 2> streams_;
  int selected_ = kSlotA;
  std::vector<std::int16_t> scratch_;
};

}  // namespace fw
