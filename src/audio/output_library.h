#pragma once
// The output library: plays processed 16-bit blocks on the output device and adds
// the stereo chorus. Same exports, names and arguments as the program uses them.
#include <cstdint>
#include <string>

#include "audio/chain_io.h"

namespace fw {

// Filled by get_wdm_wavout_device_list: a count, then up to 32 device names.
struct WdmDeviceList {
  static constexpr int kMaxDevices = 32;
  std::int32_t count = 0;
  const char* names[kMaxDevices] = {};
};

class OutputLibrary : public BlockPlayer {
 public:
  virtual void setup_ks_prefered() = 0;
  // Result 0 = no output device.
  virtual std::int32_t get_wdm_wavout_device_list(WdmDeviceList* list) = 0;
  virtual void select_wdm_waveOut_device(std::int32_t index) = 0;
  virtual void setup_stereo(std::int32_t channels) = 0;  // 1 mono, 2 stereo chorus
  virtual void setup_auto(std::int32_t on) = 0;
  virtual void setup_delta_delta(std::int32_t delta) = 0;
  virtual void setup_freq_22_44(std::int32_t rate) = 0;
  virtual void setup_latency(std::int32_t latency) = 0;
  virtual void setup_b_size(std::int32_t samples) = 0;
  virtual void setup_max_chorus_delay(std::int32_t samples) = 0;
  // Opens the device; -1 = no device or not initialised.
  virtual std::int32_t WinMain1(std::intptr_t window) = 0;
  // out_to_dsound (BlockPlayer) copies one block of setup_b_size samples.
  virtual void insert_buffer() = 0;
  virtual void skip_buffer() = 0;
  virtual void CloseDSound() = 0;
  // Window thread: after a device list of 0 or a failed WinMain1, the cause on this
  // system (which backends were tried and what each said), or empty.
  virtual std::string FailureCause() { return {}; }
};

}  // namespace fw
