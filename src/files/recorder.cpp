#include "files/recorder.h"

#include <algorithm>
#include <new>
#include <thread>

namespace fw {

Recorder::Recorder(Engine& engine) : engine_(engine) {
  allocateRing = [](std::int32_t samples) {
    // Value-initialised: the whole ring starts at zero.
    return Ring(new (std::nothrow) std::atomic<std::int16_t>[static_cast<std::size_t>(samples)]());
  };
}

Recorder::~Recorder() {
  if (ring_ != nullptr) {
    engine_.params.RecordRingSize.store(0);
    engine_.params.RecordActive.store(0);
    FreeRing();
  }
}

void Recorder::CloseRing() {
  RecordRing& shared = engine_.record;
  shared.samples.store(nullptr, std::memory_order_seq_cst);
  // A tap never waits, so one still inside leaves within microseconds.
  while (shared.tapsInside.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
}

void Recorder::OpenRing() {
  if (ring_ != nullptr) engine_.record.samples.store(ring_.get(), std::memory_order_seq_cst);
}

void Recorder::FreeRing() {
  CloseRing();
  ring_.reset();
  ringSize_ = 0;
}

bool Recorder::AllocateRing(std::int32_t ringSize) {
  EngineParams& p = engine_.params;
  FreeRing();  // a ring left by a start whose file step failed
  p.RecordRingSize.store(ringSize);
  ring_ = allocateRing(ringSize + RecordRing::kSpare);
  if (ring_ == nullptr) {
    p.RecordRingSize.store(0);
    return false;
  }
  ringSize_ = ringSize;
  return true;
}

void Recorder::CreateFile(const std::string& path, std::uint32_t sampleRate) {
  stopped_ = {};
  roundsSaved_ = 0;
  ringSaved_ = 0;
  file_.Create(path, sampleRate);
  path_ = path;
}

void Recorder::Arm() {
  EngineParams& p = engine_.params;
  p.RecordFull.store(0);
  p.RecordIndex.store(0);
  engine_.record.written.store(0, std::memory_order_relaxed);
  p.RecordActive.store(-1);
  OpenRing();
}

void Recorder::SaveRingPrefix(std::int32_t samples) {
  if (samples < ringSaved_) {
    file_.Truncate(kAuHeaderSize + 2 * (roundsSaved_ + samples));
  } else if (samples > ringSaved_) {
    file_.AppendSamples(ring_.get() + ringSaved_, samples - ringSaved_);
  }
  ringSaved_ = samples;
}

void Recorder::SaveWritten() {
  EngineParams& p = engine_.params;
  if (ring_ == nullptr || p.RecordFull.load() != 0) return;  // the full flush decides
  // The taps clear the ring's tail on every block; below it, a written sample stays.
  const std::int32_t written =
      std::min(engine_.record.written.load(std::memory_order_acquire), ringSize_ - RecordRing::kGuardZone);
  if (written > ringSaved_) SaveRingPrefix(written);
}

void Recorder::Pause() { engine_.params.RecordActive.store(0); }
void Recorder::Continue() { engine_.params.RecordActive.store(-1); }

bool Recorder::FlushIfFull() {
  EngineParams& p = engine_.params;
  if (p.RecordFull.load() != 3 || ring_ == nullptr) return false;
  CloseRing();
  // The chain may use the ring again however this flush ends.
  struct Reopen {
    Recorder& self;
    ~Reopen() { self.OpenRing(); }
  } reopen{*this};

  const std::int32_t wasActive = p.RecordActive.load();
  p.RecordActive.store(0);
  p.RecordFull.store(0);
  p.RecordIndex.store(0);
  engine_.record.written.store(0, std::memory_order_relaxed);
  // A paused take discards the full ring, also what was saved of it already.
  SaveRingPrefix(wasActive != 0 ? ringSize_ - 500 : 0);
  roundsSaved_ += ringSaved_;
  ringSaved_ = 0;
  if (wasActive != 0) p.RecordActive.store(-1);
  return true;
}

void Recorder::CloseTaps() {
  engine_.params.RecordRingSize.store(0);
  engine_.params.RecordActive.store(0);
  CloseRing();
}

std::int64_t Recorder::AppendRemainder() {
  // A stop retried after a failed step goes on where it stopped: nothing twice.
  if (stopped_.remainderAppended) return stopped_.fileSize;
  std::int32_t count = engine_.params.RecordIndex.load();
  if (ring_ == nullptr || count < 0) count = 0;
  if (count > ringSize_) count = ringSize_;
  if (ring_ != nullptr) SaveRingPrefix(count);
  stopped_.remainderAppended = true;
  stopped_.fileSize = file_.Size();
  return stopped_.fileSize;
}

void Recorder::CompleteHeader(std::uint32_t sampleRate) {
  file_.Close();
  AuFileWriter::WriteHeader(path_, AuDataSizeField(stopped_.fileSize - kAuHeaderSize), sampleRate);
}

void Recorder::Finish() {
  engine_.params.RecordIndex.store(0);
  FreeRing();
  path_.clear();
  stopped_ = {};
}

}  // namespace fw
