// The plugin's LV2 entry points: the descriptor and the state and worker interfaces,
// each forwarding to its PluginInstance. Nothing but lv2_descriptor is exported.
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include <cstring>
#include <exception>

#include "plugin/plugin_instance.h"
#include "plugin/port_layout.h"

namespace fw::plugin {
namespace {

PluginInstance& Of(LV2_Handle handle) { return *static_cast<PluginInstance*>(handle); }

LV2_Handle Instantiate(const LV2_Descriptor*, double rate, const char* bundlePath,
                       const LV2_Feature* const* features) {
  try {
    return new PluginInstance(rate, bundlePath, features);
  } catch (const std::exception&) {
    return nullptr;  // the reason is in the host's log
  }
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) { Of(handle).Connect(port, data); }
void Activate(LV2_Handle handle) { Of(handle).Activate(); }
void Run(LV2_Handle handle, uint32_t frames) { Of(handle).Run(frames); }
void Cleanup(LV2_Handle handle) { delete &Of(handle); }

LV2_Worker_Status Work(LV2_Handle handle, LV2_Worker_Respond_Function, LV2_Worker_Respond_Handle,
                       uint32_t size, const void* data) {
  try {
    return Of(handle).Work(data, size);
  } catch (const std::exception&) {
    return LV2_WORKER_ERR_UNKNOWN;
  }
}
LV2_Worker_Status WorkResponse(LV2_Handle, uint32_t, const void*) { return LV2_WORKER_SUCCESS; }

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, uint32_t,
                      const LV2_Feature* const*) {
  try {
    return Of(handle).Save(store, state);
  } catch (const std::exception&) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}
LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state,
                         uint32_t, const LV2_Feature* const*) {
  try {
    return Of(handle).Restore(retrieve, state);
  } catch (const std::exception&) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const void* ExtensionData(const char* uri) {
  static const LV2_Worker_Interface worker = {Work, WorkResponse, nullptr};
  static const LV2_State_Interface state = {Save, Restore};
  if (std::strcmp(uri, LV2_WORKER__interface) == 0) return &worker;
  if (std::strcmp(uri, LV2_STATE__interface) == 0) return &state;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {kPluginUri, Instantiate, ConnectPort, Activate,
                                    Run,        nullptr,     Cleanup,     ExtensionData};

}  // namespace
}  // namespace fw::plugin

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &fw::plugin::kDescriptor : nullptr;
}
