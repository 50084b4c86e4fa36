#pragma once
// One instance of the plugin: the form and its engine, the ports, and the hand-over of
// port changes to the control handlers. run() runs the chain's direct driver over the
// host's block as it comes, in place, with no buffering of its own; at host rates above
// the chain's, through the resamplers of a HostRateBridge.
#include <lv2/core/lv2.h>
#include <lv2/log/logger.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/stereo_chorus.h"
#include "engine/buffers.h"
#include "plugin/bypass_ramp.h"
#include "plugin/host_rate_bridge.h"
#include "plugin/peak_meter.h"
#include "plugin/plugin_form.h"

namespace fw::plugin {

// A batch of port changes for the control handlers (the worker's message).
struct ControlChange {
  std::uint32_t control;  // index into PluginForm::Controls()
  std::int32_t value;
};

class PluginInstance {
 public:
  // Throws std::runtime_error (unsupported rate, unreadable bundle).
  PluginInstance(double sampleRate, const char* bundlePath, const LV2_Feature* const* features);

  void Connect(std::uint32_t port, void* data) noexcept;
  void Activate() noexcept;
  void Run(std::uint32_t frames) noexcept;

  // The worker thread: runs the handlers of a batch of changes.
  LV2_Worker_Status Work(const void* data, std::uint32_t size);

  LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

 private:
  // Block length of one pass of the direct driver.
  static constexpr int kChunk = 256;

  void TakePortChanges() noexcept;
  void ApplyChanges(const ControlChange* changes, std::size_t count);
  // At the engine rate: the chain, the chorus and the bypass over any n.
  void Process(const float* in, float* left, float* right, std::uint32_t n, bool enabled) noexcept;
  void ProcessChunk(const float* in, float* left, float* right, int n, bool enabled) noexcept;

  std::unique_ptr<PluginForm> model_;
  // The worker thread, the state functions and an offline run() share the form.
  std::mutex formMutex_;
  float rate_;                              // the engine's
  std::unique_ptr<HostRateBridge> bridge_;  // at host rates above the engine's

  LV2_URID_Map* map_ = nullptr;
  LV2_Log_Logger logger_{};
  LV2_Worker_Schedule* schedule_ = nullptr;

  const float* input_ = nullptr;
  float* left_ = nullptr;
  float* right_ = nullptr;
  const float* enabled_ = nullptr;
  float* latency_ = nullptr;
  float* inputPeak_ = nullptr;
  float* outputPeak_ = nullptr;
  std::vector<const float*> controlPorts_;

  // Audio thread: the value each control was last given from its port.
  std::vector<std::int32_t> applied_;
  std::vector<ControlChange> pending_;
  // After a restore, the next run() takes the port values as they are: the host
  // sets them to the restored state, and they must not undo it.
  bool adoptPorts_ = false;

  std::int16_t block_[kChunk] = {};
  float dry_[kChunk] = {};
  float wet_[kChunk] = {};
  StereoChorus chorus_;
  BypassRamp bypass_;
  PeakMeter inputMeter_;
  PeakMeter outputMeter_;
};

}  // namespace fw::plugin
