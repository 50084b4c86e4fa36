#include "audio/legacy/legacy_sound_card.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "audio/live_audio.h"
#include "audio/realtime_shared.h"
#include "core/polite_wait.h"

namespace fw {
namespace {

std::int16_t ToSample(float v) noexcept {
  const float scaled = std::nearbyint(v * 32768.0f);
  return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

void SetFlags(WaveInHeader& h, std::uint32_t set, std::uint32_t clear) noexcept {
  std::atomic_ref<std::uint32_t> flags(h.flags);
  flags.store((flags.load(std::memory_order_relaxed) & ~clear) | set, std::memory_order_release);
}

std::uint32_t Flags(WaveInHeader& h) noexcept {
  return std::atomic_ref<std::uint32_t>(h.flags).load(std::memory_order_acquire);
}

}  // namespace

LegacyCardLayout LayoutFor(LegacyCardKind kind) {
  LegacyCardLayout layout;
  switch (kind) {
    case LegacyCardKind::Isa:
      layout.captureChannel = 1;
      layout.playbackChannel = 5;
      layout.captureRing = 0x300000;
      layout.playbackRing = 0x200000;
      layout.ringSamples = 4096;
      layout.transfer = 2048;
      layout.name = "Simulated ISA card";
      break;
    case LegacyCardKind::Pci:
      layout.captureRing = 0x1000000;
      layout.playbackRing = 0x1100000;
      layout.ringSamples = 256;
      layout.transfer = 128;
      layout.name = "Simulated PCI card";
      break;
    case LegacyCardKind::PciCommon:
      layout.captureRing = 0x200000;
      layout.playbackRing = 0x300000;
      layout.ringSamples = 2048;
      layout.transfer = 1024;
      layout.name = "Simulated PCI card (common)";
      break;
  }
  return layout;
}

LegacySoundCard::LegacySoundCard(LegacyCardLayout layout, PhysicalMemory& memory, DmaController& dma,
                                 LiveAudio& host)
    : layout_(std::move(layout)), memory_(memory), dma_(dma), host_(host) {
  layout_.ringSamples = std::max<std::uint32_t>(layout_.ringSamples, 2);
  layout_.transfer = std::clamp<std::uint32_t>(layout_.transfer, 1,
                                               std::min<std::uint32_t>(layout_.ringSamples, kQueueSize * 8));
  auto place = [&](Ring& ring, int channel, std::uint32_t base, int busChannel) {
    const bool isa = channel >= 0;
    ring.dma = isa ? &dma_ : &busMaster_;
    ring.channel = isa ? channel : busChannel;
    ring.base = base;
    ring.dma->Program(ring.channel, base, layout_.ringSamples);
  };
  place(capture_, layout_.captureChannel, layout_.captureRing, 0);
  place(playback_, layout_.playbackChannel, layout_.playbackRing, 1);
  host_.AttachCard(this);
}

LegacySoundCard::~LegacySoundCard() {
  host_.AttachCard(nullptr);
  host_.Quiesce();
}

bool LegacySoundCard::Acquire(int rate) {
  rate_.store(rate);
  std::string error;
  return host_.Acquire(rate, error);
}

void LegacySoundCard::Release() { host_.Release(); }

void LegacySoundCard::Quiesce() const noexcept { callbacks_.Quiesce(); }

void LegacySoundCard::Process(const float* input, float* left, float* right, int frames) noexcept {
  callbacks_.Enter();
  const double deviceRate = std::max(host_.DeviceRate(), 1);
  const double cardRate = rate_.load(std::memory_order_relaxed);
  const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                       .count();
  const auto samples = static_cast<std::uint32_t>(static_cast<double>(frames) * cardRate / deviceRate);
  dma_.BeginPeriod(now, samples, static_cast<int>(cardRate));
  busMaster_.BeginPeriod(now, samples, static_cast<int>(cardRate));
  // The card's clock against the device's: one card sample per crossing, the last
  // one held (exact when both rates agree).
  for (int i = 0; i < frames; ++i) {
    phase_ += cardRate;
    while (phase_ >= deviceRate) {
      phase_ -= deviceRate;
      held_ = Step(input[i]);
    }
    left[i] = held_;
    right[i] = held_;
  }
  callbacks_.Leave();
}

float LegacySoundCard::Step(float input) noexcept {
  const std::int16_t x = ToSample(input);
  const std::uint32_t transfer = layout_.transfer;
  if (waveIn_.started.load(std::memory_order_relaxed)) {
    memory_.StoreSample(capture_.dma->Transfer(capture_.channel), x);
    const std::uint32_t pos = capture_.dma->Index(capture_.channel);
    if (pos % transfer == 0) DeliverCapture((pos == 0 ? layout_.ringSamples : pos) - transfer);
  }
  float out = 0.0f;
  if (waveOut_.open.load(std::memory_order_relaxed) && !waveOut_.paused.load(std::memory_order_relaxed)) {
    out = static_cast<float>(memory_.LoadSample(playback_.dma->Transfer(playback_.channel))) / 32768.0f;
    const std::uint32_t pos = playback_.dma->Index(playback_.channel);
    if (pos % transfer == 0) RefillPlayback((pos == 0 ? layout_.ringSamples : pos) - transfer, transfer);
  }
  if (shared_.load(std::memory_order_acquire) != nullptr) BlockStep(x, out);
  return out;
}

// One transfer reaches the wave input in one piece.
void LegacySoundCard::DeliverCapture(std::uint32_t firstSample) noexcept {
  for (std::uint32_t j = 0; j < layout_.transfer; ++j) {
    transfer_[j] = memory_.LoadSample(capture_.base + 2 * (firstSample + j));
  }
  waveIn_.Deliver(transfer_, layout_.transfer);
}

void LegacySoundCard::RefillPlayback(std::uint32_t firstSample, std::uint32_t count) noexcept {
  for (std::uint32_t j = 0; j < count; ++j)
    memory_.StoreSample(playback_.base + 2 * (firstSample + j), waveOut_.Next());
}

void LegacySoundCard::BlockStep(std::int16_t x, float& output) noexcept {
  RealtimeShared& s = *shared_.load(std::memory_order_relaxed);
  blockIn_[blockIndex_] = x;
  output += static_cast<float>(blockOut_[blockIndex_]) / 32768.0f;
  if (++blockIndex_ < blockFrames_) return;
  blockIndex_ = 0;
  const bool processed = s.ready.load() == 0;
  for (int j = 0; j < blockFrames_; ++j) {
    blockOut_[j] = processed ? s.Sample(blockStereo_ ? 2 * j : j) : std::int16_t{0};
  }
  for (int j = 0; j < blockFrames_; ++j) {
    if (blockStereo_) {
      s.SetSample(2 * j, blockIn_[j]);
      s.SetSample(2 * j + 1, 0);
    } else {
      s.SetSample(j, blockIn_[j]);
    }
  }
  s.ready.store(1);
  WakeSleepers(s.ready, s.readySleepers);
  if (event_ != nullptr) event_->Signal();
}

bool LegacySoundCard::StartBlocks(RealtimeShared& shared, RealtimeEvent* event, int frames, bool stereo,
                                  int rate) {
  StopBlocks();
  event_ = event;
  blockFrames_ = std::clamp(frames, 1, stereo ? kMaxBlock / 2 : kMaxBlock);
  blockStereo_ = stereo;
  blockIndex_ = 0;
  std::fill(std::begin(blockOut_), std::end(blockOut_), std::int16_t{0});
  if (!Acquire(rate)) return false;
  shared_.store(&shared, std::memory_order_release);
  return true;
}

void LegacySoundCard::StopBlocks() {
  if (shared_.exchange(nullptr) == nullptr) return;
  Quiesce();
  Release();
}

// Wave input.

std::int32_t LegacySoundCard::In::Open(std::int32_t deviceId, const WaveFormat& format,
                                       WaveInCallback callback, std::uintptr_t instance,
                                       std::uint32_t flags) {
  if (deviceId != kWaveMapper && deviceId != 0) return MMSYSERR_BADDEVICEID;
  if (open.load()) return MMSYSERR_ALLOCATED;
  if (format.formatTag != 1 || format.channels != 1 || format.bitsPerSample != 16 ||
      (format.samplesPerSec != 22050 && format.samplesPerSec != 44100))
    return WAVERR_BADFORMAT;
  callback_ = flags == kCallbackFunction ? callback : WaveInCallback{};
  instance_ = instance;
  head_.store(0);
  tail_.store(0);
  if (!card_.Acquire(static_cast<int>(format.samplesPerSec))) return MMSYSERR_NOTENABLED;
  open.store(true);
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::In::AddBuffer(WaveInHeader* header, std::uint32_t headerSize) noexcept {
  (void)headerSize;
  if (!open.load(std::memory_order_relaxed)) return MMSYSERR_INVALHANDLE;
  if (header == nullptr || (header->flags & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
  const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
  if (tail - head_.load(std::memory_order_acquire) >= kQueueSize) return MMSYSERR_ERROR;
  header->bytesRecorded = 0;
  SetFlags(*header, WHDR_INQUEUE, WHDR_DONE);
  queue_[tail % kQueueSize] = header;
  tail_.store(tail + 1, std::memory_order_release);
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::In::Start() {
  if (!open.load()) return MMSYSERR_INVALHANDLE;
  started.store(true);
  card_.capture_.dma->Run(card_.capture_.channel, true);
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::In::Stop() {
  if (!open.load()) return MMSYSERR_INVALHANDLE;
  started.store(false);
  card_.capture_.dma->Run(card_.capture_.channel, false);
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::In::Reset() {
  if (!open.load()) return MMSYSERR_INVALHANDLE;
  Stop();
  card_.Quiesce();
  ReturnQueued();
  // The capture starts again at the beginning of the ring, so the driver's first
  // buffer after a start is always in its first half.
  card_.capture_.dma->Rewind(card_.capture_.channel);
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::In::Close() {
  if (!open.load()) return MMSYSERR_INVALHANDLE;
  Reset();
  open.store(false);
  card_.Release();
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::In::GetDevCaps(std::int32_t deviceId, WaveInCaps* caps) {
  if (deviceId != 0 || caps == nullptr) return MMSYSERR_BADDEVICEID;
  *caps = WaveInCaps{};
  std::strncpy(caps->productName, card_.layout_.name.c_str(), WaveInCaps::kNameLength - 1);
  caps->channels = 1;
  return MMSYSERR_NOERROR;
}

// Fills the queued headers in order; the first sample of each piece is stored last,
// with release, so a program watching it sees the whole piece.
void LegacySoundCard::In::Deliver(const std::int16_t* samples, std::uint32_t count) noexcept {
  while (count > 0) {
    const std::uint32_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) return;  // nowhere to put them
    WaveInHeader& h = *queue_[head % kQueueSize];
    const std::uint32_t have = h.bytesRecorded / 2;
    const std::uint32_t n = std::min(count, h.bufferLength / 2 - have);
    for (std::uint32_t j = n; j-- > 0;) {
      std::atomic_ref<std::int16_t>(h.data[have + j])
          .store(samples[j], j == 0 ? std::memory_order_release : std::memory_order_relaxed);
    }
    h.bytesRecorded += 2 * n;
    samples += n;
    count -= n;
    if (h.bytesRecorded / 2 >= h.bufferLength / 2) {
      SetFlags(h, WHDR_DONE, WHDR_INQUEUE);
      head_.store(head + 1, std::memory_order_release);
      if (callback_.proc != nullptr) callback_.proc(callback_.context, 1, MM_WIM_DATA, instance_, &h, 0);
    }
  }
}

void LegacySoundCard::In::ReturnQueued() noexcept {
  for (std::uint32_t head = head_.load(); head != tail_.load(); head = head_.load()) {
    WaveInHeader& h = *queue_[head % kQueueSize];
    SetFlags(h, WHDR_DONE, WHDR_INQUEUE);
    head_.store(head + 1);
    if (callback_.proc != nullptr) callback_.proc(callback_.context, 1, MM_WIM_DATA, instance_, &h, 0);
  }
}

// Wave output.

std::int32_t LegacySoundCard::Out::Open(std::int32_t deviceId, const WaveFormat& format) {
  if (deviceId != kWaveMapper && deviceId != 0) return MMSYSERR_BADDEVICEID;
  if (open.load()) return MMSYSERR_ALLOCATED;
  if (format.formatTag != 1 || format.channels != 1 || format.bitsPerSample != 16 ||
      (format.samplesPerSec != 22050 && format.samplesPerSec != 44100))
    return WAVERR_BADFORMAT;
  head_.store(0);
  tail_.store(0);
  offset_ = 0;
  loopLoaded_ = false;
  if (!card_.Acquire(static_cast<int>(format.samplesPerSec))) return MMSYSERR_NOTENABLED;
  paused.store(false);
  open.store(true);
  card_.playback_.dma->Run(card_.playback_.channel, true);
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::Out::Reset() {
  if (!open.load()) return MMSYSERR_INVALHANDLE;
  const bool wasPaused = paused.exchange(true);
  card_.Quiesce();
  ReturnQueued();
  offset_ = 0;
  loopLoaded_ = false;
  paused.store(wasPaused);
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::Out::Pause() {
  if (!open.load()) return MMSYSERR_INVALHANDLE;
  paused.store(true);
  card_.playback_.dma->Run(card_.playback_.channel, false);
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::Out::Restart() {
  if (!open.load()) return MMSYSERR_INVALHANDLE;
  paused.store(false);
  card_.playback_.dma->Run(card_.playback_.channel, true);
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::Out::PrepareHeader(WaveOutHeader* header, std::uint32_t headerSize) {
  (void)headerSize;
  if (header == nullptr) return MMSYSERR_INVALPARAM;
  header->flags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::Out::UnprepareHeader(WaveOutHeader* header, std::uint32_t headerSize) {
  (void)headerSize;
  if (header == nullptr) return MMSYSERR_INVALPARAM;
  if ((Flags(*header) & WHDR_INQUEUE) != 0) return 33;  // WAVERR_STILLPLAYING
  SetFlags(*header, 0, WHDR_PREPARED);
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::Out::Write(WaveOutHeader* header, std::uint32_t headerSize) {
  (void)headerSize;
  if (!open.load()) return MMSYSERR_INVALHANDLE;
  if (header == nullptr || (header->flags & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
  const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
  if (tail - head_.load(std::memory_order_acquire) >= kQueueSize) return MMSYSERR_ERROR;
  SetFlags(*header, WHDR_INQUEUE, WHDR_DONE);
  queue_[tail % kQueueSize] = header;
  tail_.store(tail + 1, std::memory_order_release);
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::Out::BreakLoop() {
  if (!open.load()) return MMSYSERR_INVALHANDLE;
  loopsLeft_.store(0);
  return MMSYSERR_NOERROR;
}

std::int32_t LegacySoundCard::Out::Close() {
  if (!open.load()) return MMSYSERR_INVALHANDLE;
  Reset();
  open.store(false);
  card_.playback_.dma->Run(card_.playback_.channel, false);
  card_.Quiesce();
  card_.Release();
  return MMSYSERR_NOERROR;
}

std::int16_t LegacySoundCard::Out::Next() noexcept {
  const std::uint32_t head = head_.load(std::memory_order_relaxed);
  if (head == tail_.load(std::memory_order_acquire)) return 0;
  WaveOutHeader& h = *queue_[head % kQueueSize];
  const std::uint32_t flags = Flags(h);
  if (!loopLoaded_) {
    loopLoaded_ = true;
    loopsLeft_.store((flags & WHDR_BEGINLOOP) != 0 && h.loops > 0 ? h.loops - 1 : 0,
                     std::memory_order_relaxed);
  }
  const std::uint32_t length = h.bufferLength / 2;
  const std::int16_t v = offset_ < length ? h.data[offset_] : std::int16_t{0};
  if (++offset_ >= length) {
    offset_ = 0;
    const std::uint32_t left = loopsLeft_.load(std::memory_order_relaxed);
    if ((flags & WHDR_ENDLOOP) != 0 && left > 0) {
      loopsLeft_.store(left - 1, std::memory_order_relaxed);
    } else {
      loopLoaded_ = false;
      SetFlags(h, WHDR_DONE, WHDR_INQUEUE);
      head_.store(head + 1, std::memory_order_release);
    }
  }
  return v;
}

void LegacySoundCard::Out::ReturnQueued() noexcept {
  for (std::uint32_t head = head_.load(); head != tail_.load(); head = head_.load()) {
    SetFlags(*queue_[head % kQueueSize], WHDR_DONE, WHDR_INQUEUE);
    head_.store(head + 1);
  }
}

}  // namespace fw
