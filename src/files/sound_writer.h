#pragma once
// Interleaved 16-bit frames written a piece at a time, so that a long render never
// has to fit in memory: a .raw name gets headerless little-endian samples, any other
// name the format its extension asks for. The file is written beside the target and
// renamed over it at Commit; every step, the close included, is checked and a failure
// throws SoundFileError naming the file and the reason. Without Commit the target
// stays as it was. Writes are gathered into pieces of 32768 samples, so a render's
// small blocks do not each cost a system call.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "files/replacement_file.h"
#include "files/sndfile_handle.h"
#include "files/sound_file.h"

namespace fw {

class SoundWriter {
 public:
  SoundWriter(const std::string& path, int channels, int sampleRate, FileCalls calls = FileCalls::System());

  void Write(const std::int16_t* interleaved, std::size_t frames);
  void Commit();

 private:
  static constexpr std::size_t kPieceSamples = 32768;
  void WritePending();

  std::size_t channels_;
  std::unique_ptr<ReplacementFile> file_;
  SndfileHandle sndfile_;  // writes through file_'s descriptor; closed before it
  std::vector<std::int16_t> pending_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace fw
