#pragma once
// Wave input as the program uses it: open with a format and a callback (or none),
// prepare and add headers, start, stop, reset, close, device capabilities; the ring
// of capture buffers itself is wave_in_buffers.h.
#include <cstdint>

#include "audio/wave_in_buffers.h"

namespace fw {

inline constexpr std::uint32_t WIM_OPEN = 0x3BE;
inline constexpr std::uint32_t WIM_CLOSE = 0x3BF;
inline constexpr std::uint32_t kCallbackFunction = 0x30000;  // open flag: callback is a function
inline constexpr std::int32_t kWaveMapper = -1;

// Results: 0 = success, as the system's wave functions report it.
inline constexpr std::int32_t MMSYSERR_NOERROR = 0;
inline constexpr std::int32_t MMSYSERR_ERROR = 1;
inline constexpr std::int32_t MMSYSERR_BADDEVICEID = 2;
inline constexpr std::int32_t MMSYSERR_NOTENABLED = 3;
inline constexpr std::int32_t MMSYSERR_ALLOCATED = 4;
inline constexpr std::int32_t MMSYSERR_INVALHANDLE = 5;
inline constexpr std::int32_t MMSYSERR_INVALPARAM = 11;
inline constexpr std::int32_t WAVERR_BADFORMAT = 32;
inline constexpr std::int32_t WAVERR_UNPREPARED = 34;

// Header flags.
inline constexpr std::uint32_t WHDR_DONE = 0x01;
inline constexpr std::uint32_t WHDR_PREPARED = 0x02;
inline constexpr std::uint32_t WHDR_INQUEUE = 0x10;

// PCM format record.
struct WaveFormat {
  std::uint16_t formatTag = 1;  // PCM
  std::uint16_t channels = 1;
  std::uint32_t samplesPerSec = 22050;
  std::uint32_t avgBytesPerSec = 44100;
  std::uint16_t blockAlign = 2;
  std::uint16_t bitsPerSample = 16;
};

struct WaveInCaps {
  static constexpr int kNameLength = 32;
  char productName[kNameLength] = {};
  std::uint32_t channels = 0;
};

// The input callback: the system calls it with its device handle, the message, the
// instance word and the header. `context` is the callback's own pointer (the engine).
using WaveInProc = void (*)(void* context, std::uintptr_t device, std::uint32_t message,
                            std::uintptr_t instance, WaveInHeader* header, std::uintptr_t param2) noexcept;
struct WaveInCallback {
  WaveInProc proc = nullptr;  // nullptr: open without a callback
  void* context = nullptr;
};

class WaveInput : public WaveInBufferReturn {
 public:
  virtual std::int32_t Open(std::int32_t deviceId, const WaveFormat& format, WaveInCallback callback,
                            std::uintptr_t instance, std::uint32_t flags) {
    (void)deviceId, (void)format, (void)callback, (void)instance, (void)flags;
    return MMSYSERR_NOTENABLED;
  }
  virtual std::int32_t PrepareHeader(WaveInHeader* header, std::uint32_t headerSize) {
    (void)headerSize;
    if (header == nullptr) return MMSYSERR_INVALPARAM;
    header->flags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
  }
  virtual std::int32_t UnprepareHeader(WaveInHeader* header, std::uint32_t headerSize) {
    (void)headerSize;
    if (header == nullptr) return MMSYSERR_INVALPARAM;
    header->flags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
  }
  virtual std::int32_t Start() { return MMSYSERR_NOTENABLED; }
  virtual std::int32_t Stop() { return MMSYSERR_NOERROR; }
  // Returns every queued buffer, marked done, through the callback.
  virtual std::int32_t Reset() { return MMSYSERR_NOERROR; }
  virtual std::int32_t Close() { return MMSYSERR_NOERROR; }
  virtual std::int32_t GetDevCaps(std::int32_t deviceId, WaveInCaps* caps) {
    (void)deviceId, (void)caps;
    return MMSYSERR_BADDEVICEID;
  }
};

}  // namespace fw
