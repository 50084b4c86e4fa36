#include "plugin/plugin_instance.h"

#include <lv2/atom/atom.h>
#include <xmmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "app/form1.h"
#include "app/presets/preset_operations.h"
#include "app/presets/preset_state.h"
#include "core/denormals.h"
#include "engine/chain.h"
#include "plugin/port_layout.h"
#include "plugin/state_keys.h"

namespace fw::plugin {
namespace {

const void* Feature(const LV2_Feature* const* features, const char* uri) {
  for (; features != nullptr && *features != nullptr; ++features) {
    if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  }
  return nullptr;
}

// A host sample of full scale is the 16-bit range; the chain rounds as a sound card's
// converter would and clips to it.
std::int16_t ToSample(float x) noexcept {
  const float scaled = x * 32768.0f;
  if (!(scaled > -32768.0f)) return scaled < 0.0f ? std::int16_t{-32768} : std::int16_t{0};
  if (scaled >= 32767.0f) return 32767;
  return static_cast<std::int16_t>(std::lrint(scaled));
}

// The host thread's float mode for the length of one run(): denormals flushed, as on
// every thread that runs a chain driver, and the host's own mode given back after.
class DenormalScope {
 public:
  DenormalScope() noexcept : saved_(_mm_getcsr()) { FlushDenormalsOnThisThread(); }
  ~DenormalScope() { _mm_setcsr(saved_); }
  DenormalScope(const DenormalScope&) = delete;
  DenormalScope& operator=(const DenormalScope&) = delete;

 private:
  unsigned saved_;
};

}  // namespace

PluginInstance::PluginInstance(double sampleRate, const char* bundlePath, const LV2_Feature* const* features)
    : rate_(static_cast<float>(EngineRateFor(sampleRate))) {
  map_ = static_cast<LV2_URID_Map*>(const_cast<void*>(Feature(features, LV2_URID__map)));
  auto* log = static_cast<LV2_Log_Log*>(const_cast<void*>(Feature(features, LV2_LOG__log)));
  lv2_log_logger_init(&logger_, map_, log);
  schedule_ = static_cast<LV2_Worker_Schedule*>(const_cast<void*>(Feature(features, LV2_WORKER__schedule)));

  if (rate_ == 0.0f) {
    lv2_log_error(&logger_,
                  "Fretwerk: the host runs at %.0f Hz; the plugin runs at 22050, 44100, 48000, 88200 or "
                  "96000 Hz\n",
                  sampleRate);
    throw std::runtime_error("unsupported sample rate");
  }
  try {
    const int engineRate = static_cast<int>(rate_);
    if (sampleRate != engineRate)
      bridge_ = std::make_unique<HostRateBridge>(static_cast<int>(sampleRate), engineRate);
    model_ = std::make_unique<PluginForm>(engineRate, bundlePath == nullptr ? "" : bundlePath);
  } catch (const std::exception& error) {
    lv2_log_error(&logger_, "Fretwerk: cannot start the effect chain from %s: %s\n", bundlePath,
                  error.what());
    throw;
  }
  const std::size_t count = model_->Controls().size();
  controlPorts_.assign(count, nullptr);
  pending_.resize(count);
  for (std::size_t i = 0; i < count; ++i) applied_.push_back(model_->Value(i));
  bypass_.SetLength(kBypassRampSeconds * rate_);
}

void PluginInstance::Connect(std::uint32_t port, void* data) noexcept {
  switch (port) {
    case kInputPort:
      input_ = static_cast<const float*>(data);
      return;
    case kLeftPort:
      left_ = static_cast<float*>(data);
      return;
    case kRightPort:
      right_ = static_cast<float*>(data);
      return;
    case kEnabledPort:
      enabled_ = static_cast<const float*>(data);
      return;
    case kLatencyPort:
      latency_ = static_cast<float*>(data);
      return;
    case kInputPeakPort:
      inputPeak_ = static_cast<float*>(data);
      return;
    case kOutputPeakPort:
      outputPeak_ = static_cast<float*>(data);
      return;
    default:
      if (port - kFirstControlPort < controlPorts_.size()) {
        controlPorts_[port - kFirstControlPort] = static_cast<const float*>(data);
      }
  }
}

void PluginInstance::Activate() noexcept {
  bypass_.Settle(enabled_ == nullptr || *enabled_ > 0.0f);
  if (bridge_ != nullptr) bridge_->Reset();
}

void PluginInstance::TakePortChanges() noexcept {
  std::size_t count = 0;
  const auto& controls = model_->Controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controlPorts_[i] == nullptr) continue;
    const int value = ControlValueOf(controls[i], *controlPorts_[i], applied_[i]);
    if (value == applied_[i]) continue;
    if (adoptPorts_) {
      applied_[i] = value;
    } else {
      pending_[count++] = {static_cast<std::uint32_t>(i), value};
    }
  }
  adoptPorts_ = false;
  if (count == 0) return;
  if (schedule_ != nullptr) {
    // A full worker queue leaves the changes pending; the next run() sends them again.
    const auto size = static_cast<std::uint32_t>(count * sizeof(ControlChange));
    if (schedule_->schedule_work(schedule_->handle, size, pending_.data()) != LV2_WORKER_SUCCESS) return;
  } else {
    // Without a worker (offline hosts such as lv2apply) the handlers run here.
    ApplyChanges(pending_.data(), count);
  }
  for (std::size_t k = 0; k < count; ++k) applied_[pending_[k].control] = pending_[k].value;
}

void PluginInstance::ApplyChanges(const ControlChange* changes, std::size_t count) {
  const std::lock_guard<std::mutex> lock(formMutex_);
  for (std::size_t k = 0; k < count; ++k) {
    if (changes[k].control < model_->Controls().size()) model_->Move(changes[k].control, changes[k].value);
  }
}

LV2_Worker_Status PluginInstance::Work(const void* data, std::uint32_t size) {
  if (size % sizeof(ControlChange) != 0) return LV2_WORKER_ERR_UNKNOWN;
  std::vector<ControlChange> changes(size / sizeof(ControlChange));
  std::memcpy(changes.data(), data, size);
  ApplyChanges(changes.data(), changes.size());
  return LV2_WORKER_SUCCESS;
}

void PluginInstance::ProcessChunk(const float* in, float* left, float* right, int n, bool enabled) noexcept {
  std::copy(in, in + n, dry_);
  for (int i = 0; i < n; ++i) block_[i] = ToSample(dry_[i]);
  Chain(model_->engine()).Process(Driver::Direct, block_, block_, n);
  for (int i = 0; i < n; ++i) wet_[i] = static_cast<float>(block_[i]) / 32768.0f;
  const PluginOutput& output = model_->output();
  chorus_.Process(wet_, left, right, n, output.ChorusDelay(), output.ChorusWanted(), rate_);
  bypass_.Mix(dry_, left, right, n, enabled);
}

void PluginInstance::Process(const float* in, float* left, float* right, std::uint32_t n,
                             bool enabled) noexcept {
  for (std::uint32_t done = 0; done < n;) {
    const int count = static_cast<int>(std::min<std::uint32_t>(n - done, kChunk));
    ProcessChunk(in + done, left + done, right + done, count, enabled);
    done += static_cast<std::uint32_t>(count);
  }
}

void PluginInstance::Run(std::uint32_t frames) noexcept {
  const DenormalScope denormals;
  TakePortChanges();
  const bool enabled = enabled_ == nullptr || *enabled_ > 0.0f;
  inputMeter_.Start();
  outputMeter_.Start();
  if (input_ != nullptr && left_ != nullptr && right_ != nullptr) {
    // Before the outputs are written: the host may pass the input in one of them.
    inputMeter_.Take(input_, static_cast<int>(frames));
    if (bridge_ != nullptr) {
      bridge_->Run(input_, left_, right_, frames, [&](const float* in, float* left, float* right, int n) {
        Process(in, left, right, static_cast<std::uint32_t>(n), enabled);
      });
    } else {
      Process(input_, left_, right_, frames, enabled);
    }
    outputMeter_.Take(left_, static_cast<int>(frames));
    outputMeter_.Take(right_, static_cast<int>(frames));
  }
  if (latency_ != nullptr)
    *latency_ = bridge_ != nullptr ? static_cast<float>(bridge_->LatencyFrames()) : 0.0f;
  if (inputPeak_ != nullptr) *inputPeak_ = inputMeter_.Decibels();
  if (outputPeak_ != nullptr) *outputPeak_ = outputMeter_.Decibels();
}

LV2_State_Status PluginInstance::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (map_ == nullptr) return LV2_STATE_ERR_NO_FEATURE;
  const StateKeys keys(*map_);
  const std::lock_guard<std::mutex> lock(formMutex_);
  TForm1& form = model_->form();
  FillPresetRecord(form);
  const auto& record = PresetsOf(form).record.bytes();
  const std::uint32_t flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  LV2_State_Status status = store(handle, keys.record, record.data(), record.size(), keys.chunk, flags);
  const auto& controls = model_->Controls();
  for (std::size_t i = 0; i < controls.size() && status == LV2_STATE_SUCCESS; ++i) {
    if (controls[i].stored) continue;
    const std::int32_t value = model_->Value(i);
    status = store(handle, keys.Control(controls[i].symbol), &value, sizeof value, keys.integer, flags);
  }
  return status;
}

LV2_State_Status PluginInstance::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  if (map_ == nullptr) return LV2_STATE_ERR_NO_FEATURE;
  const StateKeys keys(*map_);
  const std::lock_guard<std::mutex> lock(formMutex_);
  TForm1& form = model_->form();
  std::size_t size = 0;
  std::uint32_t type = 0;
  std::uint32_t flags = 0;
  // The record is applied as a preset file is: the voicing, then every stored control.
  if (const void* record = retrieve(handle, keys.record, &size, &type, &flags)) {
    if (type != keys.chunk || size != static_cast<std::size_t>(kPresetRecordSize))
      return LV2_STATE_ERR_BAD_TYPE;
    PresetsOf(form).record.ReplacePrefix({static_cast<const std::uint8_t*>(record), size});
    form.RunCommand([&form] { ApplyPresetRecord(form); });
  }
  const auto& controls = model_->Controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].stored) continue;
    const void* value = retrieve(handle, keys.Control(controls[i].symbol), &size, &type, &flags);
    if (value == nullptr || type != keys.integer || size != sizeof(std::int32_t)) continue;
    std::int32_t v = 0;
    std::memcpy(&v, value, sizeof v);
    model_->Move(i, v);
  }
  for (std::size_t i = 0; i < controls.size(); ++i) applied_[i] = model_->Value(i);
  adoptPorts_ = true;
  return LV2_STATE_SUCCESS;
}

}  // namespace fw::plugin
