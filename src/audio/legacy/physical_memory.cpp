#include "audio/legacy/physical_memory.h"

#include <sys/mman.h>

#include <atomic>

namespace fw {

PhysicalMemory::PhysicalMemory(std::uint64_t installedBytes) : installed_(installedBytes) {
  size_ = std::size_t{kRegionBase} + std::size_t{kRegionBytes} * kRegions;
  // Untouched pages cost nothing: they read as the shared zero page.
  void* p = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p != MAP_FAILED) base_ = static_cast<std::byte*>(p);
}

PhysicalMemory::~PhysicalMemory() {
  if (base_ != nullptr) munmap(base_, size_);
}

bool PhysicalMemory::Inside(std::uint32_t address, std::uint32_t bytes) const noexcept {
  return base_ != nullptr && address % bytes == 0 && std::size_t{address} + bytes <= size_;
}

std::int16_t PhysicalMemory::LoadSample(std::uint32_t address) const noexcept {
  if (!Inside(address, 2)) return 0;
  return std::atomic_ref<std::int16_t>(*reinterpret_cast<std::int16_t*>(base_ + address))
      .load(std::memory_order_relaxed);
}

void PhysicalMemory::StoreSample(std::uint32_t address, std::int16_t value) noexcept {
  if (!Inside(address, 2)) return;
  std::atomic_ref<std::int16_t>(*reinterpret_cast<std::int16_t*>(base_ + address))
      .store(value, std::memory_order_relaxed);
}

std::int32_t PhysicalMemory::LoadWord(std::uint32_t address) const noexcept {
  if (!Inside(address, 4)) return 0;
  return std::atomic_ref<std::int32_t>(*reinterpret_cast<std::int32_t*>(base_ + address))
      .load(std::memory_order_relaxed);
}

void PhysicalMemory::StoreWord(std::uint32_t address, std::int32_t value) noexcept {
  if (!Inside(address, 4)) return;
  std::atomic_ref<std::int32_t>(*reinterpret_cast<std::int32_t*>(base_ + address))
      .store(value, std::memory_order_relaxed);
}

}  // namespace fw
