#pragma once
// The plugin's identity and its fixed ports. The sound controls follow the fixed
// ports, one per control, in the order SoundControls gives them; the .ttl generator
// and the plugin both take the indices from here.
#include <cstdint>

namespace fw::plugin {

inline constexpr const char* kPluginUri = "http://fretwerk.example.org/plugins/fretwerk";

enum FixedPort : std::uint32_t {
  kInputPort = 0,   // mono audio in
  kLeftPort,        // audio out, the block (left side of the stereo chorus)
  kRightPort,       // audio out, the block (right side of the stereo chorus)
  kEnabledPort,     // lv2:enabled: 0 bypasses with a crossfade
  kLatencyPort,     // reported latency in samples
  kInputPeakPort,   // peak of the input, dBFS
  kOutputPeakPort,  // peak of the output, dBFS
  kFirstControlPort,
};

// The meters' floor and ceiling in dBFS; silence reads the floor.
inline constexpr float kMeterFloorDb = -90.0f;
inline constexpr float kMeterCeilingDb = 6.0f;

// The bypass crossfade.
inline constexpr float kBypassRampSeconds = 0.02f;

}  // namespace fw::plugin
