#pragma once
// The two ends of a render, a piece at a time so that memory stays bounded whatever
// the input's length: the input file at the engine rate, and the output file at the
// input's rate. A file at another rate than the engine's is converted on the way in
// and back on the way out, and the output keeps the input's length.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/sample_rate_conversion.h"
#include "files/sound_reader.h"
#include "files/sound_writer.h"

namespace fw::cli {

class EngineRateInput {
 public:
  EngineRateInput(MonoSoundReader& reader, int fileRate, int engineRate);

  // Up to n samples into `block`; fewer only at the end of the input.
  std::size_t Take(std::int16_t* block, std::size_t n);
  // The file's frames read so far: all of them once Take came up short.
  std::size_t FileFrames() const { return fileFrames_; }

 private:
  void Refill();

  MonoSoundReader& reader_;
  int fileRate_;
  int engineRate_;
  std::optional<SampleRateStream> converter_;
  std::vector<std::int16_t> piece_;  // as read from the file
  std::vector<std::int16_t> ready_;  // at the engine rate, from next_ on not yet taken
  std::size_t next_ = 0;
  std::size_t fileFrames_ = 0;
  bool ended_ = false;
};

class FileRateOutput {
 public:
  FileRateOutput(const std::string& path, int channels, int engineRate, int fileRate);

  void Put(const std::int16_t* interleaved, std::size_t frames);
  // The end of the render: the file gets exactly fileFrames frames and replaces its
  // target.
  void Finish(std::size_t fileFrames);

 private:
  std::size_t channels_;
  SoundWriter writer_;
  std::optional<SampleRateStream> converter_;
  std::vector<std::int16_t> converted_;
};

}  // namespace fw::cli
