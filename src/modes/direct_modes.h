#pragma once
// The modes that read the sound card's buffers directly: the input fill probe, the
// DMA detection with its hardware report, DMA-direct mode (2 ms tick and latency
// keeper) and common-buffer mode (buffer search and 2 ms tick). Window thread,
// except the ticks, which run on the multimedia timer's thread.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/legacy/driver_codes.h"
#include "audio/wave_input.h"
#include "audio/wave_output.h"
#include "modes/mode_host.h"

namespace fw {

// The ticks' block processor: called with the count and the block, in place.
using BlockProcessor = void (*)(void* context, std::int32_t count, std::int16_t* block) noexcept;

class DirectModes {
 public:
  static constexpr int kProbeSamples = 62001;
  static constexpr int kHeaders = 201;
  static constexpr int kKeeperHeaders = 101;
  static constexpr int kKeeperBytes = 1119824;
  static constexpr std::uint32_t kUserWord = 1111;

  DirectModes(ModeHost& host, std::string& hardwareReport);
  ~DirectModes();

  int InputFillProbe(int k);  // the fill count
  int DetectAndStartDma();    // 1: DMA-direct mode runs
  void StopDmaDirect();
  void StartCommonBuffer(int k);
  void StopCommonBuffer();
  // The search over mapped memory for a 12-sample snapshot; false when not found.
  bool FindBuffer(const std::int32_t snapshot[6], int parity, int fill, int& region,
                  std::int32_t& offset) const;
  void SetBlockProcessor(BlockProcessor processor, void* context) noexcept;

  // Timer thread.
  static void DmaDirectTick(void* self, std::uint32_t id, std::uintptr_t user) noexcept;
  static void CommonBufferTick(void* self, std::uint32_t id, std::uintptr_t user) noexcept;
  void KeepLatency() noexcept;

  // State of these modes, program-wide.
  struct Direction {
    int channel = 1112;
    int page = 0;
    std::int32_t start = 0, end = 0, startShare = 0, endShare = 0;
    std::int32_t ringLength = 0, ringOffset = 0;
  };
  std::intptr_t port = -1;
  std::int32_t regions[legacy::kMappedRegions] = {};
  bool active[8] = {};
  std::int32_t lowest[8] = {65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535};
  std::int32_t highest[8] = {};
  Direction in, out;
  std::int32_t capacity = 0;
  std::uint32_t inputRing = 0, outputRing = 0;
  std::int32_t blockLength = 184;
  std::int16_t block[1001] = {};
  std::int32_t a = 0, b = 184, lastBlockStart = 0, inWindow = 0;
  std::int32_t writePosition = 0;
  float smoothed = 0.0f;
  std::int32_t lowCount = 0, highCount = 0;
  std::int32_t readPosition = 0, sentinel[3] = {};
  std::atomic<std::int32_t> busy{0};
  std::atomic<std::int32_t> stop{0};  // 0 started, 2 running, 1 stop
  std::uint32_t timerId = 0, timerPeriod = 1;
  int fillCount = 0;
  int rateMultiplier = 1;
  std::atomic<std::int64_t> blocksProcessed{0};
  bool ended = false;      // a failure has ended the program
  bool cancelled = false;  // the host ended the last start while it waited for the card
  // How long the buffer search waits for its first snapshot before it fails.
  std::chrono::milliseconds searchWait{10000};
  // The buffer search is collecting its snapshot.
  bool Searching() const noexcept { return collecting_.load(); }

 private:
  void StopTickAndCapture();
  KernelServices* Kernel() const;
  MultimediaTimer* Timer() const;
  WaveInput* In() const;
  WaveOutput* Outp() const;
  OutputLibrary* Library() const;
  bool OpenPortDriver();  // false: the program has been told to end
  std::int32_t ReadPort(int port) const;
  std::int32_t Position(int channel, std::int32_t start) const;
  int ScanChannels(const WaveInHeader& watched, int skip);
  void MeasureRing(const WaveInHeader* headers, Direction& d);
  void SetUpTimer(std::uint32_t resolution, bool dmaDirect);
  void InputKeeper();
  bool Fatal(const char* message);
  // Asks the host whether the start should give up, and remembers a yes.
  bool GiveUp();
  // Each start begins with the ticks' flags clear, whatever a Stop left behind.
  void ClearTickFlags() noexcept;
  bool WaitForSnapshot();
  void Show(const char* message);
  void Process() noexcept;

  ModeHost& host_;
  std::string& report_;
  std::atomic<BlockProcessor> processor_{nullptr};
  std::atomic<void*> processorContext_{nullptr};
  std::unique_ptr<std::int16_t[]> probe_;
  std::unique_ptr<std::int16_t[]> keeper_;
  std::int16_t detectIn_[1500] = {};
  std::int16_t detectOut_[1560] = {};
  WaveInHeader inHeaders_[kHeaders] = {};
  WaveOutHeader outHeaders_[kHeaders] = {};
  WaveInHeader probeHeader_{};
  // The buffer search.
  std::vector<std::int16_t> searchBuffer_;
  std::vector<WaveInHeader> searchHeaders_;
  std::atomic<bool> collecting_{false};
  std::atomic<std::int32_t> snapshotCount_{0};
  std::atomic<std::int32_t> snapshot_[6] = {};
  std::atomic<std::int32_t> parity_{0};
  static void SearchCallback(void* self, std::uintptr_t, std::uint32_t message, std::uintptr_t,
                             WaveInHeader* header, std::uintptr_t) noexcept;
};

}  // namespace fw
