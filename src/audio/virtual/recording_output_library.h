#pragma once
// An output library that plays nothing: it keeps every call and a copy of every
// block, for headless renders and tests.
#include <cstdint>
#include <string>
#include <vector>

#include "audio/output_library.h"

namespace fw {

class RecordingOutputLibrary final : public OutputLibrary {
 public:
  struct Call {
    std::string name;
    std::int32_t argument = 0;
  };

  // Reserve room for this many samples so out_to_dsound never allocates.
  explicit RecordingOutputLibrary(std::size_t reserveSamples = 0) { played.reserve(reserveSamples); }

  std::vector<Call> calls;           // window-thread calls, in order
  std::vector<std::int16_t> played;  // every block handed to out_to_dsound, in order
  std::int32_t blockSize = 220;
  std::int32_t deviceListResult = 1;
  std::int32_t openResult = 0;

  void setup_ks_prefered() override { calls.push_back({"setup_ks_prefered", 0}); }
  std::int32_t get_wdm_wavout_device_list(WdmDeviceList* list) override {
    calls.push_back({"get_wdm_wavout_device_list", 0});
    if (list != nullptr && deviceListResult != 0) {
      list->count = 1;
      list->names[0] = "Recording output";
    }
    return deviceListResult;
  }
  void select_wdm_waveOut_device(std::int32_t index) override { calls.push_back({"select_wdm_waveOut_device", index}); }
  void setup_stereo(std::int32_t channels) override { calls.push_back({"setup_stereo", channels}); }
  void setup_auto(std::int32_t on) override { calls.push_back({"setup_auto", on}); }
  void setup_delta_delta(std::int32_t delta) override { calls.push_back({"setup_delta_delta", delta}); }
  void setup_freq_22_44(std::int32_t rate) override { calls.push_back({"setup_freq_22_44", rate}); }
  void setup_latency(std::int32_t latency) override { calls.push_back({"setup_latency", latency}); }
  void setup_b_size(std::int32_t samples) override {
    calls.push_back({"setup_b_size", samples});
    blockSize = samples;
  }
  void setup_max_chorus_delay(std::int32_t samples) override { calls.push_back({"setup_max_chorus_delay", samples}); }
  std::int32_t WinMain1(std::intptr_t window) override {
    calls.push_back({"WinMain1", static_cast<std::int32_t>(window)});
    return openResult;
  }
  void out_to_dsound(const std::int16_t* block) noexcept override {
    // Within the reserved capacity this never allocates.
    if (played.size() + static_cast<std::size_t>(blockSize) > played.capacity()) return;
    played.insert(played.end(), block, block + blockSize);
  }
  void insert_buffer() override { calls.push_back({"insert_buffer", 0}); }
  void skip_buffer() override { calls.push_back({"skip_buffer", 0}); }
  void CloseDSound() override { calls.push_back({"CloseDSound", 0}); }
};

}  // namespace fw
