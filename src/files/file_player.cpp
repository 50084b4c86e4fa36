#include "files/file_player.h"

#include <algorithm>

namespace fw {

FilePlayer::FilePlayer(Engine& engine) : engine_(engine), scratch_(FileBuffer::kCapacity) {}

bool FilePlayer::Open(int slot, const std::string& path) { return streams_[Index(slot)].Open(path); }

void FilePlayer::PreRead(int slot) {
  SampleStream& stream = streams_[Index(slot)];
  if (!stream.IsOpen()) return;
  for (;;) {
    const int got = stream.Read(scratch_.data(), kPreReadChunk);
    Store(0, got);
    if (got < kPreReadChunk) break;
  }
  stream.SeekToByte(0);
  ClearBuffer();
}

void FilePlayer::Play() {
  engine_.params.FileRefillRequest.store(0);
  engine_.params.WavFileGain.store(1.0f);
}

void FilePlayer::Stop() {
  engine_.params.FileRefillRequest.store(0);
  ClearBuffer();
}

void FilePlayer::ServeRefillRequests() {
  EngineParams& p = engine_.params;
  const int chunk = Chunk();
  if (p.FileRefillRequest.load() == 2) {
    RefillHalf(chunk, chunk);
    p.FileRefillRequest.store(0);
  }
  if (p.FileRefillRequest.load() == 1) {
    RefillHalf(0, chunk);
    p.FileRefillRequest.store(0);
  }
}

// The two halves must fit the buffer whatever the audio mode has set.
int FilePlayer::Chunk() const {
  return std::clamp<int>(engine_.params.FileReadChunk.load(), 1, FileBuffer::kCapacity / 2);
}

void FilePlayer::RefillHalf(int offset, int chunk) {
  SampleStream& stream = streams_[selected_];
  if (!stream.IsOpen()) {
    // No file in this slot: the half plays silence.
    std::fill_n(scratch_.begin(), chunk, std::int16_t{0});
    Store(offset, chunk);
    return;
  }
  const int got = stream.Read(scratch_.data(), chunk);
  Store(offset, got);
  if (got >= chunk) return;
  if (selected_ == kSlotA) {
    // Loop without a gap, past a 128-byte header.
    stream.SeekToByte(128);
    const int more = stream.Read(scratch_.data(), chunk - got);
    Store(offset + got, more);
  } else {
    stream.SeekToByte(0);
  }
}

void FilePlayer::ClearBuffer() {
  for (int i = 0; i < FileBuffer::kCapacity; ++i) engine_.file.Set(i, 0);
}

void FilePlayer::Store(int offset, int count) {
  for (int i = 0; i < count; ++i) engine_.file.Set(offset + i, scratch_[static_cast<std::size_t>(i)]);
}

}  // namespace fw
