#pragma once
// The recorder: window-thread side of recording. It owns the record ring from
// start to stop and the AU file, and empties the ring into the file when the
// chain reports it nearly full. The chain's record taps fill the ring. Between
// those flushes what the taps have written is saved on every write timer, so a
// program killed mid-take leaves a readable take of all but its last moments.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/engine.h"
#include "files/au_file.h"

namespace fw {

class Recorder {
 public:
  using Ring = std::unique_ptr<std::atomic<std::int16_t>[]>;
  // Samples per step of the buffer-size group: 60 s at 22050 samples per second.
  static constexpr std::int32_t kRingStep = 1323000;

  explicit Recorder(Engine& engine);
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // From a successful start to the end of a stop.
  bool Recording() const { return !path_.empty(); }
  // The file being written; empty when idle.
  const std::string& Path() const { return path_; }
  // The take name the save dialog confirmed (replacing it was agreed there).
  std::string confirmedName;

  // Start, up to the write timer: ring size, ring, file with a header placeholder,
  // then RecordFull, RecordIndex, RecordActive. False when the ring cannot be
  // allocated (RecordRingSize is then 0). A file error throws IoError; the ring
  // stays closed to the chain.
  bool AllocateRing(std::int32_t ringSize);
  void CreateFile(const std::string& path, std::uint32_t sampleRate);
  void Arm();

  void Pause();
  void Continue();

  // The write timer's flush: when the chain has set RecordFull, append the ring
  // (unless paused, which discards it) and let the chain start again at index 0.
  // True when it flushed.
  bool FlushIfFull();
  // Saves what the taps have written since the last save, with the ring open. The
  // take's content stays what the flushes and the stop decide: a discarded ring is
  // cut from the file again.
  void SaveWritten();

  // Stop, in its steps: close the taps, append what was recorded and return the
  // file size; complete the header; then free the ring.
  void CloseTaps();
  std::int64_t AppendRemainder();
  void CompleteHeader(std::uint32_t sampleRate);
  void Finish();

  // Ring allocation (nullptr when memory runs out); tests replace it.
  std::function<Ring(std::int32_t samples)> allocateRing;

 private:
  // Takes the ring away from the chain and waits for any tap still inside.
  void CloseRing();
  void OpenRing();
  void FreeRing();
  // Makes the file hold exactly `samples` samples of the ring after the rounds
  // already complete: appends the missing ones or cuts what must not be there.
  void SaveRingPrefix(std::int32_t samples);

  Engine& engine_;
  Ring ring_;
  std::int32_t ringSize_ = 0;
  AuFileWriter file_;
  std::string path_;              // the open recording's file; empty when idle
  std::int64_t roundsSaved_ = 0;  // samples of the full rings flushed before this one
  std::int32_t ringSaved_ = 0;    // samples of this ring in the file
  struct StopProgress {
    bool remainderAppended = false;
    std::int64_t fileSize = 0;
  } stopped_;
};

}  // namespace fw
