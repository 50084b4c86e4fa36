#pragma once
// Offline sample-rate conversion of 16-bit signals, a piece at a time (libsamplerate,
// best quality): a sound file at another rate than the engine's goes to the engine
// rate and its render comes back at the file's rate. The pieces come out exactly as
// the whole signal converted in one call would, whatever their sizes.
#include <cstddef>
#include <cstdint>
#include <vector>

struct SRC_STATE_tag;

namespace fw {

class SampleRateStream {
 public:
  // Throws std::runtime_error with the converter's message when it cannot be made.
  SampleRateStream(int channels, int fromRate, int toRate);
  ~SampleRateStream();
  SampleRateStream(const SampleRateStream&) = delete;
  SampleRateStream& operator=(const SampleRateStream&) = delete;

  // Converts `frames` interleaved frames and appends the frames that are ready to
  // `out`. Throws std::runtime_error with the converter's message when it fails.
  void Push(const std::int16_t* interleaved, std::size_t frames, std::vector<std::int16_t>& out);
  // The end of the signal: appends the rest, so that exactly `totalFrames` frames
  // came out in all (the tail the converter leaves short is silence, any surplus is
  // cut).
  void Finish(std::size_t totalFrames, std::vector<std::int16_t>& out);

 private:
  void Run(std::size_t frames, bool end, std::vector<std::int16_t>& out);

  SRC_STATE_tag* state_ = nullptr;
  std::size_t width_;
  double ratio_;
  std::vector<float> in_;
  std::vector<float> out_;
  std::size_t emitted_ = 0;  // frames appended so far
  std::size_t limit_ = SIZE_MAX;
};

// A whole signal of interleaved frames converted: exactly `frames` frames come out (the
// tail the converter leaves short is silence, any surplus is cut). Throws
// std::runtime_error with the converter's message when it fails.
std::vector<std::int16_t> ConvertSampleRate(const std::vector<std::int16_t>& interleaved, int channels,
                                            int fromRate, int toRate, std::size_t frames);

// The frame count a signal of inputFrames at fromRate has at toRate, rounded to nearest.
std::size_t ConvertedFrames(std::size_t inputFrames, int fromRate, int toRate);

}  // namespace fw
