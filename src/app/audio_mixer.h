#pragma once
// The desktop's audio mixer that "Audio Mixer" starts: the first of the known mixer
// programs found on the search path, or nothing when none is installed.
#include <string>

namespace fw {

inline constexpr const char* kAudioMixers[] = {"pavucontrol", "qpwgraph"};

// searchPath: a PATH-style list of directories. Returns the program's full path or "".
std::string FindAudioMixer(const std::string& searchPath);

}  // namespace fw
