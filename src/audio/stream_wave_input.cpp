#include "audio/stream_wave_input.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/live_audio.h"

namespace fw {

StreamWaveInput::StreamWaveInput(LiveAudio& host) : host_(host) {}

StreamWaveInput::~StreamWaveInput() { Close(); }

std::int32_t StreamWaveInput::Open(std::int32_t deviceId, const WaveFormat& format, WaveInCallback callback,
                                   std::uintptr_t instance, std::uint32_t flags) {
  if (open_.load()) return MMSYSERR_ALLOCATED;
  if (deviceId != kWaveMapper && deviceId != 0) return MMSYSERR_BADDEVICEID;
  if (format.formatTag != 1 || format.channels != 1 || format.bitsPerSample != 16 || format.blockAlign != 2 ||
      format.samplesPerSec < 8000 || format.samplesPerSec > 192000) {
    return WAVERR_BADFORMAT;
  }
  if (callback.proc != nullptr && (flags & kCallbackFunction) == 0) return MMSYSERR_INVALPARAM;
  std::string error;
  if (!host_.Acquire(static_cast<int>(format.samplesPerSec), error)) return MMSYSERR_NOTENABLED;
  rate_ = static_cast<std::int32_t>(format.samplesPerSec);
  converter_.reset();
  if (host_.DeviceRate() != rate_) {
    converter_ = host_.MakeConverter(1, host_.DeviceRate(), rate_);
    if (converter_ == nullptr) {
      host_.Release();
      return WAVERR_BADFORMAT;
    }
  }
  callback_ = callback;
  instance_ = instance;
  head_.store(0);
  tail_.store(0);
  gathered_ = 0;
  dropped_.store(0);
  open_.store(true);
  Notify(WIM_OPEN, nullptr);
  return MMSYSERR_NOERROR;
}

int StreamWaveInput::QueuedBuffers() const noexcept {
  return static_cast<int>(tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_acquire));
}

// The window thread adds before Start and after Reset, the device thread while the
// input runs: never both at once, so one slot index is enough.
std::int32_t StreamWaveInput::AddBuffer(WaveInHeader* header, std::uint32_t headerSize) noexcept {
  (void)headerSize;
  if (!open_.load()) return MMSYSERR_INVALHANDLE;
  if (header == nullptr || header->data == nullptr || header->bufferLength < 2) return MMSYSERR_INVALPARAM;
  if ((header->flags & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
  const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
  if (tail - head_.load(std::memory_order_acquire) >= kQueueSize) return MMSYSERR_ERROR;
  header->flags = (header->flags & ~WHDR_DONE) | WHDR_INQUEUE;
  header->bytesRecorded = 0;
  queue_[tail & (kQueueSize - 1)] = header;
  tail_.store(tail + 1, std::memory_order_release);
  return MMSYSERR_NOERROR;
}

std::int32_t StreamWaveInput::Start() {
  if (!open_.load()) return MMSYSERR_INVALHANDLE;
  firstFrame_.store(-1);
  started_.store(true);
  return MMSYSERR_NOERROR;
}

std::int32_t StreamWaveInput::Stop() {
  if (!open_.load()) return MMSYSERR_INVALHANDLE;
  started_.store(false);
  host_.Quiesce();
  return MMSYSERR_NOERROR;
}

std::int32_t StreamWaveInput::Reset() {
  if (!open_.load()) return MMSYSERR_INVALHANDLE;
  started_.store(false);
  host_.Quiesce();
  ReturnQueued();
  return MMSYSERR_NOERROR;
}

// Every buffer waiting at this moment comes back, marked done, with what it holds so
// far; one the callback adds again meanwhile stays queued.
void StreamWaveInput::ReturnQueued() noexcept {
  for (int waiting = QueuedBuffers(); waiting > 0; --waiting) {
    const std::uint32_t head = head_.load();
    WaveInHeader* header = queue_[head & (kQueueSize - 1)];
    head_.store(head + 1);
    header->bytesRecorded = static_cast<std::uint32_t>(gathered_ * 2);
    header->flags = (header->flags & ~WHDR_INQUEUE) | WHDR_DONE;
    gathered_ = 0;
    Notify(MM_WIM_DATA, header);
  }
  gathered_ = 0;
}

std::int32_t StreamWaveInput::Close() {
  if (!open_.load()) return MMSYSERR_INVALHANDLE;
  started_.store(false);
  host_.Quiesce();
  // Closed first, so a callback that adds a returned buffer again is refused.
  open_.store(false);
  ReturnQueued();
  Notify(WIM_CLOSE, nullptr);
  host_.Release();
  converter_.reset();
  return MMSYSERR_NOERROR;
}

std::int32_t StreamWaveInput::GetDevCaps(std::int32_t deviceId, WaveInCaps* caps) {
  if (caps == nullptr) return MMSYSERR_INVALPARAM;
  if (deviceId != kWaveMapper && deviceId != 0) return MMSYSERR_BADDEVICEID;
  const std::string name = host_.Device().InputProductName();
  std::memset(caps->productName, 0, sizeof caps->productName);
  std::memcpy(caps->productName, name.data(), std::min(name.size(), sizeof caps->productName - 1));
  caps->channels = 1;
  return MMSYSERR_NOERROR;
}

void StreamWaveInput::Notify(std::uint32_t message, WaveInHeader* header) noexcept {
  if (callback_.proc != nullptr) callback_.proc(callback_.context, 0, message, instance_, header, 0);
}

void StreamWaveInput::Feed(const float* input, int frames, std::int64_t deviceFrame) noexcept {
  if (!started_.load()) return;
  if (firstFrame_.load(std::memory_order_relaxed) < 0)
    firstFrame_.store(deviceFrame, std::memory_order_relaxed);
  frames = std::clamp(frames, 0, kMaxChunk);
  if (converter_ == nullptr) {
    Gather(input, frames);
    return;
  }
  auto in = static_cast<std::uint32_t>(frames);
  std::uint32_t out = kMaxChunk * 4;
  converter_->Process(input, in, converted_, out);
  Gather(converted_, static_cast<int>(out));
}

void StreamWaveInput::Gather(const float* samples, int count) noexcept {
  int i = 0;
  while (i < count) {
    if (QueuedBuffers() == 0) {
      dropped_.fetch_add(count - i, std::memory_order_relaxed);
      return;
    }
    const std::uint32_t head = head_.load(std::memory_order_relaxed);
    WaveInHeader* header = queue_[head & (kQueueSize - 1)];
    const int capacity = static_cast<int>(header->bufferLength / 2);
    const int take = std::min(count - i, capacity - gathered_);
    for (int k = 0; k < take; ++k) {
      const float v = std::nearbyint(samples[i + k] * 32768.0f);
      header->data[gathered_ + k] = static_cast<std::int16_t>(std::clamp(v, -32768.0f, 32767.0f));
    }
    gathered_ += take;
    i += take;
    if (gathered_ == capacity) {
      head_.store(head + 1, std::memory_order_release);
      header->bytesRecorded = static_cast<std::uint32_t>(capacity * 2);
      header->flags = (header->flags & ~WHDR_INQUEUE) | WHDR_DONE;
      gathered_ = 0;
      Notify(MM_WIM_DATA, header);
    }
  }
}

}  // namespace fw
