#pragma once
// The kernel services of a system with ring-0 drivers: device files driven by
// requests, physical memory mapped by the port driver, the event handle a driver
// can signal, the system and Windows directories and the memory status.
#include <cstdint>
#include <string>

#include "core/word.h"

namespace fw {

class RealtimeEvent;
struct RealtimeShared;

inline constexpr std::intptr_t kInvalidHandle = -1;
inline constexpr std::uint32_t FILE_FLAG_DELETE_ON_CLOSE = 0x04000000;

class KernelServices {
 public:
  virtual ~KernelServices() = default;
  // CreateFileA on a device name such as "\\.\PRAXIO.DAT"; kInvalidHandle when it fails.
  virtual std::intptr_t CreateFileA(const std::string& name, std::uint32_t access, std::uint32_t share,
                                    std::uint32_t disposition, std::uint32_t flags) = 0;
  virtual bool DeviceIoControl(std::intptr_t handle, std::uint32_t code, const void* in, std::uint32_t inSize,
                               void* out, std::uint32_t outSize) = 0;
  virtual void CloseHandle(std::intptr_t handle) = 0;

  // Memory mapped by the port driver, by the addresses its request 3 returns.
  // Any thread; an address outside the mapping reads 0 and ignores writes.
  virtual std::int16_t LoadSample(std::uint32_t address) const noexcept = 0;
  virtual void StoreSample(std::uint32_t address, std::int16_t value) noexcept = 0;
  virtual std::int32_t LoadWord(std::uint32_t address) const noexcept = 0;

  virtual std::uint64_t TotalPhysicalMemory() const = 0;
  // The ring-0 handle of an event (OpenVxDHandle).
  virtual std::uint32_t OpenVxDHandle(RealtimeEvent* event) = 0;
  // Without trailing separator.
  virtual std::string SystemDirectory() const = 0;
  virtual std::string WindowsDirectory() const = 0;
  // The block the realtime drivers exchange with the realtime thread, and the word
  // that says its length (128 stereo frames or 256 mono samples); nullptr: none.
  virtual void ShareRealtimeBlock(RealtimeShared* shared, const IntWord* blockLength) = 0;
};

}  // namespace fw
