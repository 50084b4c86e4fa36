#include "plugin/lilv_host.h"

#include <lv2/atom/atom.h>
#include <lv2/state/state.h>

#include <cmath>
#include <cstdarg>
#include <cstring>
#include <stdexcept>

#include "plugin/port_layout.h"
#include "support/realtime_guard.h"
#include "support/test_paths.h"

namespace fw::test {

LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri) {
  auto& world = *static_cast<LilvHostWorld*>(handle);
  const auto [it, added] = world.ids_.emplace(uri, static_cast<LV2_URID>(world.uris_.size() + 1));
  if (added) world.uris_.emplace_back(uri);
  return it->second;
}

const char* UnmapUri(LV2_URID_Unmap_Handle handle, LV2_URID id) {
  auto& world = *static_cast<LilvHostWorld*>(handle);
  return id >= 1 && id <= world.uris_.size() ? world.uris_[id - 1].c_str() : nullptr;
}

LilvHostWorld::LilvHostWorld() : world(lilv_world_new()) {
  map = {this, MapUri};
  unmap = {this, UnmapUri};
  LilvNode* path = lilv_new_string(world, (BinaryDir() + "/lv2").c_str());
  lilv_world_set_option(world, LILV_OPTION_LV2_PATH, path);
  lilv_node_free(path);
  lilv_world_load_all(world);
  LilvNode* uri = lilv_new_uri(world, plugin::kPluginUri);
  plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
  lilv_node_free(uri);
}

LilvHostWorld::~LilvHostWorld() { lilv_world_free(world); }

LV2_Worker_Status ScheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size, const void* data) {
  auto& host = *static_cast<PluginHost*>(handle);
  if (host.worker_ == Worker::Deferred) {
    if (host.deferredUsed_ + sizeof size + size > host.deferred_.size()) return LV2_WORKER_ERR_NO_SPACE;
    std::memcpy(host.deferred_.data() + host.deferredUsed_, &size, sizeof size);
    std::memcpy(host.deferred_.data() + host.deferredUsed_ + sizeof size, data, size);
    host.deferredUsed_ += sizeof size + size;
    return LV2_WORKER_SUCCESS;
  }
  const auto* work = static_cast<const LV2_Worker_Interface*>(
      lilv_instance_get_extension_data(host.instance_, LV2_WORKER__interface));
  return work->work(lilv_instance_get_handle(host.instance_), nullptr, nullptr, size, data);
}

int HostLog(LV2_Log_Handle handle, LV2_URID, const char* format, va_list arguments) {
  char text[512];
  const int length = std::vsnprintf(text, sizeof text, format, arguments);
  static_cast<PluginHost*>(handle)->log += text;
  return length;
}

namespace {
int HostPrintf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int length = HostLog(handle, type, format, arguments);
  va_end(arguments);
  return length;
}
}  // namespace

PluginHost::PluginHost(LilvHostWorld& world, double rate, Worker worker) : world_(world), worker_(worker) {
  if (world.plugin == nullptr) throw std::runtime_error("fretwerk.lv2 not found in the build tree");
  logFeature_ = {this, HostPrintf, HostLog};
  schedule_ = {this, ScheduleWork};
  featureData_ = {{LV2_URID__map, &world.map}, {LV2_URID__unmap, &world.unmap}, {LV2_LOG__log, &logFeature_}};
  if (worker != Worker::None) featureData_.push_back({LV2_WORKER__schedule, &schedule_});
  for (const LV2_Feature& feature : featureData_) features_.push_back(&feature);
  features_.push_back(nullptr);

  const std::uint32_t ports = lilv_plugin_get_num_ports(world.plugin);
  values_.assign(ports, 0.0f);
  std::vector<float> defaults(ports);
  lilv_plugin_get_port_ranges_float(world.plugin, nullptr, nullptr, defaults.data());
  for (std::uint32_t i = 0; i < ports; ++i) {
    if (!std::isnan(defaults[i])) values_[i] = defaults[i];
  }
  input_.resize(4096);
  left_.resize(4096);
  right_.resize(4096);
  instance_ = lilv_plugin_instantiate(world.plugin, rate, features_.data());
  if (instance_ == nullptr) return;
  for (std::uint32_t i = 0; i < ports; ++i) lilv_instance_connect_port(instance_, i, &values_[i]);
  lilv_instance_connect_port(instance_, plugin::kInputPort, input_.data());
  lilv_instance_connect_port(instance_, plugin::kLeftPort, left_.data());
  lilv_instance_connect_port(instance_, plugin::kRightPort, right_.data());
  lilv_instance_activate(instance_);
}

PluginHost::~PluginHost() {
  if (instance_ == nullptr) return;
  lilv_instance_deactivate(instance_);
  lilv_instance_free(instance_);
}

std::uint32_t PluginHost::Index(const std::string& symbol) const {
  LilvNode* name = lilv_new_string(world_.world, symbol.c_str());
  const LilvPort* port = lilv_plugin_get_port_by_symbol(world_.plugin, name);
  lilv_node_free(name);
  if (port == nullptr) throw std::runtime_error("no port " + symbol);
  return lilv_port_get_index(world_.plugin, port);
}

void PluginHost::Run(const float* input, std::uint32_t frames, Played& played) {
  std::copy(input, input + frames, input_.begin());
  if (watchRealtime) {
    const RealtimeScope scope;
    lilv_instance_run(instance_, frames);
  } else {
    lilv_instance_run(instance_, frames);
  }
  for (std::uint32_t i = 0; i < frames; ++i) {
    played.left.push_back(static_cast<std::int16_t>(std::lrint(left_[i] * 32768.0f)));
    played.right.push_back(static_cast<std::int16_t>(std::lrint(right_[i] * 32768.0f)));
  }
}

void PluginHost::RunDeferredWork() {
  const auto* work = static_cast<const LV2_Worker_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_WORKER__interface));
  for (std::size_t at = 0; at < deferredUsed_;) {
    std::uint32_t size = 0;
    std::memcpy(&size, deferred_.data() + at, sizeof size);
    work->work(lilv_instance_get_handle(instance_), nullptr, nullptr, size,
               deferred_.data() + at + sizeof size);
    at += sizeof size + size;
  }
  deferredUsed_ = 0;
}

const void* GetPortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type) {
  auto& host = *static_cast<PluginHost*>(user);
  const std::uint32_t index = host.Index(symbol);
  if (index < plugin::kFirstControlPort && index != plugin::kEnabledPort) return nullptr;
  *size = sizeof(float);
  *type = host.world_.map.map(host.world_.map.handle, LV2_ATOM__Float);
  return &host.values_[index];
}

void SetPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type) {
  auto& host = *static_cast<PluginHost*>(user);
  const auto is = [&](const char* uri) { return type == host.world_.map.map(host.world_.map.handle, uri); };
  float v = 0.0f;
  if (is(LV2_ATOM__Float) && size == sizeof(float)) {
    std::memcpy(&v, value, sizeof v);
  } else if (is(LV2_ATOM__Double) && size == sizeof(double)) {
    double d = 0;
    std::memcpy(&d, value, sizeof d);
    v = static_cast<float>(d);
  } else if ((is(LV2_ATOM__Int) || is(LV2_ATOM__Bool)) && size == sizeof(std::int32_t)) {
    std::int32_t i = 0;
    std::memcpy(&i, value, sizeof i);
    v = static_cast<float>(i);
  } else {
    throw std::runtime_error(std::string("port value of an unknown type for ") + symbol);
  }
  host.Set(symbol, v);
}

LilvState* PluginHost::Save() {
  return lilv_state_new_from_instance(world_.plugin, instance_, &world_.map, nullptr, nullptr, nullptr,
                                      nullptr, GetPortValue, this, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE,
                                      features_.data());
}

void PluginHost::Restore(const LilvState* state) {
  lilv_state_restore(state, instance_, SetPortValue, this, 0, features_.data());
}

void PluginHost::LoadPreset(const std::string& name) {
  LilvNode* uri = lilv_new_uri(world_.world, (std::string(plugin::kPluginUri) + "#preset-" + name).c_str());
  lilv_world_load_resource(world_.world, uri);
  LilvState* state = lilv_state_new_from_world(world_.world, &world_.map, uri);
  lilv_node_free(uri);
  if (state == nullptr) throw std::runtime_error("no preset " + name);
  Restore(state);
  lilv_state_free(state);
}

}  // namespace fw::test
