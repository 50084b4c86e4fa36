#pragma once
// The simulated legacy PC: physical memory, the DMA controller, the sound card over
// a live device, the multimedia timer, and the kernel services with the port driver
// "\\.\PRAXIO.DAT" and the realtime drivers "tivra.vxd" and "dunvel.dll". Its
// Windows and system directories are a sandbox under the program's data directory.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "audio/kernel_services.h"
#include "audio/legacy/dma_controller.h"
#include "audio/legacy/driver_codes.h"
#include "audio/legacy/legacy_sound_card.h"
#include "audio/legacy/periodic_timer.h"
#include "audio/legacy/physical_memory.h"
#include "core/word.h"

namespace fw {

class LiveAudio;
struct RealtimeShared;

struct LegacyPcOptions {
  LegacyCardLayout card = LayoutFor(LegacyCardKind::Isa);
  std::string dataDirectory;  // the sandbox goes into its "legacy-pc" folder
  std::uint64_t installedMemory = 64ull << 20;
  bool smoothRegisters = true;  // off when a test pumps the card sample by sample
};

class LegacyPc final : public KernelServices {
 public:
  LegacyPc(LegacyPcOptions options, LiveAudio& analogue);
  ~LegacyPc() override;

  // False with a reason when the memory cannot be mapped or the sandbox not made.
  bool Ready(std::string& error) const;

  LegacySoundCard& Card() { return *card_; }
  PeriodicTimer& Timer() { return timer_; }
  DmaController& Dma() { return dma_; }
  PhysicalMemory& Memory() { return memory_; }

  // Called after every port read (request 4), on the reading thread: a test moves
  // the card's clock with the reads, so every register value is seen.
  void SetPortReadHook(std::function<void()> hook) { portReadHook_ = std::move(hook); }

  // KernelServices
  std::intptr_t CreateFileA(const std::string& name, std::uint32_t access, std::uint32_t share,
                            std::uint32_t disposition, std::uint32_t flags) override;
  bool DeviceIoControl(std::intptr_t handle, std::uint32_t code, const void* in, std::uint32_t inSize,
                       void* out, std::uint32_t outSize) override;
  void CloseHandle(std::intptr_t handle) override;
  std::int16_t LoadSample(std::uint32_t address) const noexcept override {
    return memory_.LoadSample(address);
  }
  void StoreSample(std::uint32_t address, std::int16_t value) noexcept override {
    memory_.StoreSample(address, value);
  }
  std::int32_t LoadWord(std::uint32_t address) const noexcept override { return memory_.LoadWord(address); }
  std::uint64_t TotalPhysicalMemory() const override { return memory_.InstalledBytes(); }
  std::uint32_t OpenVxDHandle(RealtimeEvent* event) override;
  std::string SystemDirectory() const override { return windows_ + "/SYSTEM"; }
  std::string WindowsDirectory() const override { return windows_; }
  void ShareRealtimeBlock(RealtimeShared* shared, const IntWord* blockLength) override;

 private:
  enum class Device { None, Port, Tivra, Dunvel };
  static constexpr int kHandles = 8;
  static constexpr int kEvents = 8;
  bool RealtimeDriverInstalled() const;
  bool PortRequest(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                   std::uint32_t outSize);
  bool DriverRequest(Device device, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                     std::uint32_t outSize);
  RealtimeEvent* EventOf(std::uint32_t handle) const;
  void MakeSandbox();

  PhysicalMemory memory_;
  DmaController dma_;
  PeriodicTimer timer_;
  std::unique_ptr<LegacySoundCard> card_;
  std::string windows_;
  std::string sandboxError_;
  Device handles_[kHandles] = {};
  RealtimeEvent* events_[kEvents] = {};
  RealtimeShared* shared_ = nullptr;
  const IntWord* blockLength_ = nullptr;
  RealtimeEvent* driverEvent_ = nullptr;
  std::function<void()> portReadHook_;
};

}  // namespace fw
