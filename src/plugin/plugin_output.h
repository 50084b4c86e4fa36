#pragma once
// The output library as the plugin sees it: no device, only the two settings of the
// stereo chorus, which the control handlers set and run() reads.
#include <atomic>
#include <cstdint>

#include "audio/output_library.h"

namespace fw::plugin {

class PluginOutput final : public OutputLibrary {
 public:
  // Audio thread: whether the chorus is wanted, and its longest delay in samples.
  bool ChorusWanted() const noexcept { return stereo_.load(std::memory_order_relaxed) == 2; }
  int ChorusDelay() const noexcept { return chorusDelay_.load(std::memory_order_relaxed); }

  void setup_stereo(std::int32_t channels) override { stereo_.store(channels, std::memory_order_relaxed); }
  void setup_max_chorus_delay(std::int32_t samples) override {
    chorusDelay_.store(samples, std::memory_order_relaxed);
  }

  // The host plays the blocks; nothing else here has a device behind it.
  void out_to_dsound(const std::int16_t*) noexcept override {}
  void setup_ks_prefered() override {}
  std::int32_t get_wdm_wavout_device_list(WdmDeviceList*) override { return 0; }
  void select_wdm_waveOut_device(std::int32_t) override {}
  void setup_auto(std::int32_t) override {}
  void setup_delta_delta(std::int32_t) override {}
  void setup_freq_22_44(std::int32_t) override {}
  void setup_latency(std::int32_t) override {}
  void setup_b_size(std::int32_t) override {}
  std::int32_t WinMain1(std::intptr_t) override { return -1; }
  void insert_buffer() override {}
  void skip_buffer() override {}
  void CloseDSound() override {}

 private:
  std::atomic<std::int32_t> stereo_{1};
  std::atomic<std::int32_t> chorusDelay_{200};
};

}  // namespace fw::plugin
