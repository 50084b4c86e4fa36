#pragma once
// A live stream over the virtual sound card, pumped one period at a time by the
// test, with a pass-through callback in place of the chain: what goes in comes
// out, delayed by what the stream adds.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "audio/linux/speex_rate_converter.h"
#include "audio/live_audio.h"
#include "audio/virtual/virtual_sound_card.h"

namespace fw::test {

struct LoopbackRig {
  VirtualSoundCard* card = nullptr;
  std::unique_ptr<LiveAudio> live;
  WaveInBufferArea area;
  std::int16_t block[WaveInBufferArea::kBufferLength] = {};

  // `input` at the card's rate; the engine runs at `engineRate`. The delay is fixed
  // (setup_auto(0)) unless the test switches the automatic delay on before pumping.
  LoopbackRig(std::vector<float> input, int period, int cardRate = 44100, int engineRate = 44100,
              int latency = 1400, bool keepOutput = true) {
    VirtualCardOptions options;
    options.inputSamples = std::move(input);
    options.loop = false;
    options.pacing = VirtualCardOptions::Pacing::Manual;
    options.keepOutput = keepOutput;
    options.rate = cardRate;
    options.period = period;
    auto device = std::make_unique<VirtualSoundCard>(options);
    card = device.get();
    live = std::make_unique<LiveAudio>(std::move(device), &MakeSpeexRateConverter);
    OutputQueueLibrary& out = live->Output();
    out.setup_freq_22_44(engineRate);
    out.setup_b_size(WaveInBufferArea::kBufferLength);
    out.setup_latency(latency);
    out.setup_auto(0);
    ok = out.WinMain1(0) == 0;
    WaveFormat format;
    format.samplesPerSec = static_cast<std::uint32_t>(engineRate);
    format.avgBytesPerSec = format.samplesPerSec * 2;
    ok = ok && live->Input().Open(kWaveMapper, format, {&PassThrough, this}, 0, kCallbackFunction) == 0;
    for (int i = 0; i < WaveInBufferArea::kBufferCount; ++i) {
      WaveInHeader& h = area.headers[i];
      h.data = area.samples + i * WaveInBufferArea::kBufferLength;
      h.bufferLength = WaveInBufferArea::kBufferLength * 2;
      h.user = static_cast<std::uintptr_t>(i);
      live->Input().PrepareHeader(&h, kWaveHeaderSize);
      live->Input().AddBuffer(&h, kWaveHeaderSize);
    }
    ok = ok && live->Input().Start() == 0;
  }

  ~LoopbackRig() {
    live->Input().Close();
    live->Output().CloseDSound();
  }

  void Pump(int periods) {
    for (int i = 0; i < periods; ++i) card->Pump();
  }

  static void PassThrough(void* context, std::uintptr_t, std::uint32_t message, std::uintptr_t,
                          WaveInHeader* header, std::uintptr_t) noexcept {
    auto* rig = static_cast<LoopbackRig*>(context);
    if (message != MM_WIM_DATA || header == nullptr || !rig->live->Input().IsStarted()) return;
    ++rig->blocks;
    // A chain slower than real time, for the late-callback count.
    if (rig->stallMicroseconds > 0)
      std::this_thread::sleep_for(std::chrono::microseconds(rig->stallMicroseconds));
    if (rig->stall) {
      // A chain that stalls: this block reaches the output only with the next one.
      rig->stall = false;
      rig->late = true;
      std::copy(header->data, header->data + WaveInBufferArea::kBufferLength, rig->block);
    } else {
      if (rig->late) rig->live->Output().out_to_dsound(rig->block);
      rig->late = false;
      rig->live->Output().out_to_dsound(header->data);
    }
    rig->live->Input().AddBuffer(header, kWaveHeaderSize);
  }

  // The next block comes one block late.
  void StallOnce() { stall = true; }
  bool stall = false;
  bool late = false;

  bool ok = false;
  int blocks = 0;
  int stallMicroseconds = 0;
};

// 16-bit-exact noise in full scale 1.0, so the stream's conversions are lossless.
inline std::vector<float> ExactNoise(std::size_t n, std::uint32_t seed = 12345) {
  std::vector<float> v(n);
  for (auto& x : v) {
    seed = seed * 1664525u + 1013904223u;
    x = static_cast<float>(static_cast<std::int16_t>(seed >> 16) / 4) / 32768.0f;
  }
  return v;
}

// The delay d at which out[k + d] == in[k] for every k in [from, to), or -1.
inline int ExactDelay(const std::vector<float>& in, const std::vector<float>& out, std::size_t from,
                      std::size_t to, int maxDelay) {
  for (int d = 0; d <= maxDelay; ++d) {
    bool all = true;
    for (std::size_t k = from; k < to && all; ++k) {
      const std::size_t j = k + static_cast<std::size_t>(d);
      all = j < out.size() && out[j] == in[k];
    }
    if (all) return d;
  }
  return -1;
}

}  // namespace fw::test
