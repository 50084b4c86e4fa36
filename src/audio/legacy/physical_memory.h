#pragma once
// The simulated PC's physical memory. The port driver maps it as 12 regions from
// physical address 1,000,000; addresses are physical addresses. Samples and words
// are read and written as relaxed atomics: the card's DMA, the timer thread and
// the window thread all touch the rings.
#include <cstddef>
#include <cstdint>

namespace fw {

class PhysicalMemory {
 public:
  static constexpr std::uint32_t kRegionBase = 1000000;
  static constexpr std::uint32_t kRegionBytes = 55331648;
  static constexpr int kRegions = 12;

  // `installedBytes` is what the memory status reports; every region is mapped and
  // reads 0 where nothing was written.
  explicit PhysicalMemory(std::uint64_t installedBytes);
  ~PhysicalMemory();
  PhysicalMemory(const PhysicalMemory&) = delete;
  PhysicalMemory& operator=(const PhysicalMemory&) = delete;

  bool Mapped() const noexcept { return base_ != nullptr; }
  std::uint64_t InstalledBytes() const noexcept { return installed_; }
  static std::uint32_t RegionAddress(int region) noexcept {
    return kRegionBase + static_cast<std::uint32_t>(region) * kRegionBytes;
  }

  std::int16_t LoadSample(std::uint32_t address) const noexcept;
  void StoreSample(std::uint32_t address, std::int16_t value) noexcept;
  std::int32_t LoadWord(std::uint32_t address) const noexcept;
  void StoreWord(std::uint32_t address, std::int32_t value) noexcept;

 private:
  bool Inside(std::uint32_t address, std::uint32_t bytes) const noexcept;
  // Relaxed, so that the card's thread and the program's may share a word; 0 outside.
  template <typename T>
  T Load(std::uint32_t address) const noexcept;
  template <typename T>
  void Store(std::uint32_t address, T value) noexcept;

  std::byte* base_ = nullptr;
  std::size_t size_ = 0;
  std::uint64_t installed_ = 0;
};

}  // namespace fw
