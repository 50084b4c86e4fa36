#pragma once
// The layers of src/ and which may use which: a source file may include headers of
// its own layer and of the layers it is allowed to use, nothing else.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace fw::test {

// The layer of a path relative to src/ ("engine/chain.cpp" is in "dsp").
inline std::optional<std::string> LayerOf(std::string_view path) {
  const auto starts = [&](std::string_view prefix) { return path.substr(0, prefix.size()) == prefix; };
  if (starts("cli/") || starts("qt/")) return "entry";
  if (starts("plugin/")) return "plugin";
  if (starts("engine/") || starts("tone/")) return "dsp";
  for (const char* layer : {"core", "audio", "files", "presets", "ui", "modes", "app"}) {
    if (starts(std::string(layer) + "/")) return std::string(layer);
  }
  return std::nullopt;
}

// The layers each layer may use besides itself.
inline const std::map<std::string, std::set<std::string>>& AllowedUses() {
  static const std::map<std::string, std::set<std::string>> uses = {
      {"core", {}},
      {"dsp", {"core"}},
      {"audio", {"core", "dsp"}},
      {"files", {"core", "dsp"}},
      {"presets", {"core", "files"}},
      {"ui", {"core"}},
      {"modes", {"core", "dsp", "audio", "files"}},
      {"app", {"core", "dsp", "audio", "files", "presets", "ui", "modes"}},
      {"entry", {"core", "dsp", "audio", "files", "presets", "ui", "modes", "app"}},
      {"plugin", {"core", "dsp", "audio", "files", "presets", "ui", "modes", "app"}},
  };
  return uses;
}

// Why `file` may not include `header` (both relative to src/), or nothing when it may.
// Inside dsp the stages of src/tone see only the parameter block of src/engine,
// since the engine is built from them; inside app the start-up uses the pages, never
// the other way round.
inline std::optional<std::string> IncludeViolation(std::string_view file, std::string_view header) {
  const auto from = LayerOf(file);
  const auto to = LayerOf(header);
  if (!from || !to) return std::nullopt;
  if (*from == "dsp" && header == "core/message_port.h") return "the dsp layer posts no messages";
  if (*from == *to) {
    if (file.substr(0, 5) == "tone/" && header.substr(0, 7) == "engine/" && header != "engine/params.h") {
      return "the tone stages use only engine/params.h of the engine";
    }
    if (file.substr(0, 10) == "app/pages/" && header.substr(0, 12) == "app/startup/") {
      return "the pages are built before the start-up runs and do not use it";
    }
    return std::nullopt;
  }
  if (AllowedUses().at(*from).count(*to) == 0) return "layer " + *from + " may not use layer " + *to;
  return std::nullopt;
}

// The dsp layer is called with plain buffers: it names no device, device message,
// message number or callback argument. These names belong to the audio layer's
// adapters (the wave-input queue and headers, the ring-0 shared block, ChainIo).
inline const std::vector<std::string_view>& DeviceNames() {
  static const std::vector<std::string_view> names = {
      "WaveInHeader",  "WaveInState", "WaveInBufferArea", "WaveInBufferReturn",
      "AddBuffer",     "MM_WIM_DATA", "kWaveHeaderSize",  "RealtimeShared",
      "RealtimeEvent", "ChainIo",     "BlockPlayer",      "out_to_dsound",
      "MessagePort",   "PostMessage", "kOverloadMessage", "0x1400",
      "WaveInput",     "WaveOutput",  "Device",           "Callback",
  };
  return names;
}

// The first device name `line` of a dsp file mentions, or nothing.
inline std::optional<std::string> DeviceNameIn(std::string_view file, std::string_view line) {
  if (LayerOf(file) != std::optional<std::string>("dsp")) return std::nullopt;
  for (const std::string_view name : DeviceNames()) {
    if (line.find(name) != std::string_view::npos) return std::string(name);
  }
  return std::nullopt;
}

}  // namespace fw::test
