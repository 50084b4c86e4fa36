#pragma once
// The simulated PC's sound card. Its capture DMA writes the analogue input into a
// ring in physical memory and its driver copies each finished half of the ring into
// the wave-input headers; its playback DMA plays a ring that the driver refills,
// half by half, from the wave-output headers. An ISA card runs both rings on
// channels of the DMA controller; a PCI card masters its own DMA, which the
// controller never sees. The analogue side is a live device (a real one or the
// virtual sound card): the card runs inside that device's callback.
#include <atomic>
#include <cstdint>
#include <string>

#include "audio/audio_device.h"
#include "audio/legacy/dma_controller.h"
#include "audio/legacy/physical_memory.h"
#include "audio/wave_input.h"
#include "audio/wave_output.h"
#include "core/callback_epoch.h"

namespace fw {

class LiveAudio;
class RealtimeEvent;
struct RealtimeShared;

enum class LegacyCardKind { Isa, Pci, PciCommon };

struct LegacyCardLayout {
  int captureChannel = -1;  // ISA DMA channel, or -1: the card masters its own DMA
  int playbackChannel = -1;
  std::uint32_t captureRing = 0;  // physical addresses
  std::uint32_t playbackRing = 0;
  std::uint32_t ringSamples = 4096;
  std::uint32_t transfer = 2048;  // samples the driver moves at a time: half the ring
  std::string name;
};

// ISA: capture on the 8-bit channel 1, playback on the 16-bit channel 5, halves of
// 2048 samples. PCI: rings the controller never sees, with transfers of 128 samples
// ("pci") or of 1024 samples into a double buffer ("pci-common").
LegacyCardLayout LayoutFor(LegacyCardKind kind);

class LegacySoundCard final : public AudioDeviceClient {
 public:
  static constexpr int kQueueSize = 512;
  static constexpr std::uint32_t kMaxTransfer = 4096;

  LegacySoundCard(LegacyCardLayout layout, PhysicalMemory& memory, DmaController& dma, LiveAudio& host);
  ~LegacySoundCard() override;
  LegacySoundCard(const LegacySoundCard&) = delete;
  LegacySoundCard& operator=(const LegacySoundCard&) = delete;

  WaveInput& WaveIn() { return waveIn_; }
  WaveOutput& WaveOut() { return waveOut_; }
  const LegacyCardLayout& Layout() const { return layout_; }
  // Registers spread each device period over its duration (live devices), or show
  // the card's own position (a card pumped step by step in tests).
  void SetSmoothRegisters(bool on) noexcept {
    dma_.SetSmoothing(on);
    busMaster_.SetSmoothing(on);
  }

  // The realtime driver's use of the card: per block of `frames` frames (stereo:
  // input left, 0 right), the processed block is taken from the shared block when
  // its ready word is 0, the new input written and the ready word set; the event,
  // when given, is signalled. Window thread.
  bool StartBlocks(RealtimeShared& shared, RealtimeEvent* event, int frames, bool stereo, int rate);
  void StopBlocks();

  // Device thread: the card's share of one device period (outputs are written).
  void Process(const float* input, float* left, float* right, int frames) noexcept override;

 private:
  class In;
  class Out;
  friend class In;
  friend class Out;

  struct Ring {
    int channel = -1;
    std::uint32_t base = 0;
    DmaController* dma = nullptr;
  };
  bool Acquire(int rate);
  void Release();
  void Quiesce() const noexcept;
  float Step(float input) noexcept;
  void DeliverCapture(std::uint32_t firstSample) noexcept;
  void RefillPlayback(std::uint32_t firstSample, std::uint32_t count) noexcept;
  void BlockStep(std::int16_t input, float& output) noexcept;

  LegacyCardLayout layout_;
  PhysicalMemory& memory_;
  DmaController& dma_;
  DmaController busMaster_;  // the PCI card's own DMA
  LiveAudio& host_;
  Ring capture_;
  Ring playback_;
  std::atomic<int> rate_{22050};
  CallbackEpoch callbacks_;
  double phase_ = 0.0;
  std::int16_t transfer_[kMaxTransfer] = {};
  float held_ = 0.0f;

  // Wave input.
  class In final : public WaveInput {
   public:
    explicit In(LegacySoundCard& card) : card_(card) {}
    std::int32_t Open(std::int32_t deviceId, const WaveFormat& format, WaveInCallback callback,
                      std::uintptr_t instance, std::uint32_t flags) override;
    std::int32_t AddBuffer(WaveInHeader* header, std::uint32_t headerSize) noexcept override;
    std::int32_t Start() override;
    std::int32_t Stop() override;
    std::int32_t Reset() override;
    std::int32_t Close() override;
    std::int32_t GetDevCaps(std::int32_t deviceId, WaveInCaps* caps) override;

    void Deliver(const std::int16_t* samples, std::uint32_t count) noexcept;
    std::atomic<bool> open{false};
    std::atomic<bool> started{false};

   private:
    void ReturnQueued() noexcept;
    LegacySoundCard& card_;
    WaveInCallback callback_{};
    std::uintptr_t instance_ = 0;
    WaveInHeader* queue_[kQueueSize] = {};
    std::atomic<std::uint32_t> head_{0};
    std::atomic<std::uint32_t> tail_{0};
  } waveIn_{*this};

  // Wave output.
  class Out final : public WaveOutput {
   public:
    explicit Out(LegacySoundCard& card) : card_(card) {}
    std::int32_t Open(std::int32_t deviceId, const WaveFormat& format) override;
    std::int32_t Reset() override;
    std::int32_t Pause() override;
    std::int32_t Restart() override;
    std::int32_t PrepareHeader(WaveOutHeader* header, std::uint32_t headerSize) override;
    std::int32_t Write(WaveOutHeader* header, std::uint32_t headerSize) override;
    std::int32_t BreakLoop() override;
    std::int32_t UnprepareHeader(WaveOutHeader* header, std::uint32_t headerSize) override;
    std::int32_t Close() override;

    std::int16_t Next() noexcept;  // the next sample the headers hold, 0 when none
    std::atomic<bool> open{false};
    std::atomic<bool> paused{false};

   private:
    void ReturnQueued() noexcept;
    LegacySoundCard& card_;
    WaveOutHeader* queue_[kQueueSize] = {};
    std::atomic<std::uint32_t> head_{0};
    std::atomic<std::uint32_t> tail_{0};
    std::uint32_t offset_ = 0;  // device thread: next sample of the head header
    std::atomic<std::uint32_t> loopsLeft_{0};
    bool loopLoaded_ = false;
  } waveOut_{*this};

  // The realtime driver's blocks.
  static constexpr int kMaxBlock = 256;
  std::atomic<RealtimeShared*> shared_{nullptr};
  RealtimeEvent* event_ = nullptr;
  int blockFrames_ = 128;
  bool blockStereo_ = true;
  int blockIndex_ = 0;
  std::int16_t blockIn_[kMaxBlock] = {};
  std::int16_t blockOut_[kMaxBlock] = {};
};

}  // namespace fw
