#include "files/sample_rate_conversion.h"

#include <samplerate.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "files/sound_file.h"

namespace fw {
namespace {

constexpr std::size_t kOutputFrames = 4096;

[[noreturn]] void Fail(int error) {
  throw std::runtime_error(std::string("sample-rate conversion failed: ") + src_strerror(error));
}

}  // namespace

std::size_t ConvertedFrames(std::size_t inputFrames, int fromRate, int toRate) {
  const auto from = static_cast<std::uint64_t>(fromRate);
  return static_cast<std::size_t>((inputFrames * static_cast<std::uint64_t>(toRate) + from / 2) / from);
}

std::vector<std::int16_t> ConvertSampleRate(const std::vector<std::int16_t>& interleaved, int channels,
                                            int fromRate, int toRate, std::size_t frames) {
  const auto width = static_cast<std::size_t>(channels);
  SampleRateStream stream(channels, fromRate, toRate);
  std::vector<std::int16_t> converted;
  stream.Push(interleaved.data(), interleaved.size() / width, converted);
  stream.Finish(frames, converted);
  converted.resize(frames * width);
  return converted;
}

SampleRateStream::SampleRateStream(int channels, int fromRate, int toRate)
    : width_(static_cast<std::size_t>(channels)),
      ratio_(static_cast<double>(toRate) / static_cast<double>(fromRate)),
      in_(width_),
      out_(kOutputFrames * width_) {
  int error = 0;
  state_ = src_new(SRC_SINC_BEST_QUALITY, channels, &error);
  if (state_ == nullptr) Fail(error);
}

SampleRateStream::~SampleRateStream() { src_delete(state_); }

void SampleRateStream::Push(const std::int16_t* interleaved, std::size_t frames,
                            std::vector<std::int16_t>& out) {
  in_.resize(std::max(frames, std::size_t{1}) * width_);
  src_short_to_float_array(interleaved, in_.data(), static_cast<int>(frames * width_));
  Run(frames, false, out);
}

// The converter holds back half its filter until the end of the input, far more than
// rounding can move the length by, so nothing beyond totalFrames came out before.
void SampleRateStream::Finish(std::size_t totalFrames, std::vector<std::int16_t>& out) {
  limit_ = totalFrames;
  Run(0, true, out);
  if (emitted_ < totalFrames) out.resize(out.size() + (totalFrames - emitted_) * width_, 0);
  emitted_ = std::max(emitted_, totalFrames);
}

void SampleRateStream::Run(std::size_t frames, bool end, std::vector<std::int16_t>& out) {
  std::size_t used = 0;
  for (;;) {
    SRC_DATA data{};
    data.data_in = in_.data() + used * width_;
    data.input_frames = static_cast<long>(frames - used);
    data.data_out = out_.data();
    data.output_frames = static_cast<long>(kOutputFrames);
    data.end_of_input = end ? 1 : 0;
    data.src_ratio = ratio_;
    if (const int error = src_process(state_, &data); error != 0) Fail(error);
    used += static_cast<std::size_t>(data.input_frames_used);
    const auto made = static_cast<std::size_t>(data.output_frames_gen);
    const std::size_t kept = std::min(made, limit_ - std::min(limit_, emitted_));
    for (std::size_t i = 0; i < kept * width_; ++i) out.push_back(SampleToSixteenBits(out_[i]));
    emitted_ += kept;
    if (made == 0 && (used == frames || data.input_frames_used == 0)) return;
  }
}

}  // namespace fw
