#pragma once
// The keys and types of the plugin's saved state: the 416-byte preset record as a
// chunk, and each sound control the record does not store as an integer of its own.
#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <string>

#include "plugin/port_layout.h"

namespace fw::plugin {

struct StateKeys {
  explicit StateKeys(LV2_URID_Map& map)
      : map_(map),
        record(map.map(map.handle, RecordUri().c_str())),
        chunk(map.map(map.handle, LV2_ATOM__Chunk)),
        integer(map.map(map.handle, LV2_ATOM__Int)) {}

  static std::string RecordUri() { return std::string(kPluginUri) + "#record"; }
  static std::string ControlUri(const std::string& symbol) { return std::string(kPluginUri) + "#" + symbol; }
  LV2_URID Control(const std::string& symbol) const {
    return map_.map(map_.handle, ControlUri(symbol).c_str());
  }

 private:
  LV2_URID_Map& map_;

 public:
  const LV2_URID record;
  const LV2_URID chunk;
  const LV2_URID integer;
};

}  // namespace fw::plugin
