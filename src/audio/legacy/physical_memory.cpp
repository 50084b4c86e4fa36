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

template <typename T>
T PhysicalMemory::Load(std::uint32_t address) const noexcept {
  if (!Inside(address, sizeof(T))) return 0;
  return std::atomic_ref<T>(*reinterpret_cast<T*>(base_ + address)).load(std::memory_order_relaxed);
}

template <typename T>
void PhysicalMemory::Store(std::uint32_t address, T value) noexcept {
  if (!Inside(address, sizeof(T))) return;
  std::atomic_ref<T>(*reinterpret_cast<T*>(base_ + address)).store(value, std::memory_order_relaxed);
}

std::int16_t PhysicalMemory::LoadSample(std::uint32_t address) const noexcept {
  return Load<std::int16_t>(address);
}

void PhysicalMemory::StoreSample(std::uint32_t address, std::int16_t value) noexcept {
  Store<std::int16_t>(address, value);
}

std::int32_t PhysicalMemory::LoadWord(std::uint32_t address) const noexcept {
  return Load<std::int32_t>(address);
}

void PhysicalMemory::StoreWord(std::uint32_t address, std::int32_t value) noexcept {
  Store<std::int32_t>(address, value);
}

}  // namespace fw
