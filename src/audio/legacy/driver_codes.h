#pragma once
// What the legacy modes and the simulated PC agree on: the device names, the
// requests of the port driver and of the realtime drivers, the ports of the PC/AT
// DMA controller and the sentinel sample. Named once, for both sides.
#include <cstdint>

namespace fw::legacy {

// Device files.
inline constexpr const char* kPortDriverName = "\\\\.\\PRAXIO.DAT";
inline constexpr const char* kTivraName = "\\\\.\\tivra.vxd";    // card type "Very Old Creative"
inline constexpr const char* kDunvelName = "\\\\.\\dunvel.dll";  // card type "AWE32/64"
// The line in "system.ini" that loads the realtime drivers at boot.
inline constexpr const char* kDriverLine = "device=mokel.vxd";

// Port driver requests.
inline constexpr std::uint32_t kPortMapRegions = 3;   // out: 12 region addresses, -1 where mapping failed
inline constexpr std::uint32_t kPortReadPort = 4;     // in: port number; out: the port's value
inline constexpr std::uint32_t kPortArmSentinel = 5;  // in: address of the first of three sentinel samples
inline constexpr int kMappedRegions = 12;

// Realtime driver requests.
inline constexpr std::uint32_t kDriverStart = 1;    // in: event handle, 0, 0, 0, IRQ
inline constexpr std::uint32_t kDriverSetup = 2;    // in: IRQ, 8-bit DMA, 16-bit DMA
inline constexpr std::uint32_t kDriverRelease = 3;  // no input
inline constexpr std::uint32_t kDriverEvent = 5;    // in: the event handle to signal per block

// What the common-buffer mode writes ahead of its read position, and the driver
// arms through kPortArmSentinel: a sample still holding it has not been captured.
inline constexpr std::int16_t kSentinel = 11111;

// PC/AT DMA controller: channels 0 to 3 count bytes, 5 to 7 16-bit words;
// channel 4 cascades and is never used.
inline constexpr int kDmaChannels = 8;
inline constexpr int kNoDmaPort = -1;

constexpr bool DmaChannelUsable(int channel) noexcept {
  return channel >= 0 && channel < kDmaChannels && channel != 4;
}
constexpr bool DmaCountsWords(int channel) noexcept { return channel >= 4; }

// The current-address register's port: 2 x channel, or 176 + 4 x channel.
constexpr int DmaAddressPort(int channel) noexcept {
  if (!DmaChannelUsable(channel)) return kNoDmaPort;
  return channel < 4 ? 2 * channel : 176 + 4 * channel;
}

// The page register's port.
constexpr int DmaPagePort(int channel) noexcept {
  constexpr int kPages[kDmaChannels] = {135, 131, 129, 130, kNoDmaPort, 139, 137, 138};
  return DmaChannelUsable(channel) ? kPages[channel] : kNoDmaPort;
}

}  // namespace fw::legacy
