#include "app/audio_mixer.h"

#include <unistd.h>

#include <sstream>

namespace fw {

std::string FindAudioMixer(const std::string& searchPath) {
  for (const char* program : kAudioMixers) {
    std::istringstream directories(searchPath);
    std::string directory;
    while (std::getline(directories, directory, ':')) {
      if (directory.empty()) continue;
      const std::string path = directory + "/" + program;
      if (access(path.c_str(), X_OK) == 0) return path;
    }
  }
  return {};
}

}  // namespace fw
