#include "files/sample_rate_conversion.h"

#include <samplerate.h>

#include <stdexcept>
#include <string>

#include "files/sound_file.h"

namespace fw {

std::size_t ConvertedFrames(std::size_t inputFrames, int fromRate, int toRate) {
  const auto from = static_cast<std::uint64_t>(fromRate);
  return static_cast<std::size_t>((inputFrames * static_cast<std::uint64_t>(toRate) + from / 2) / from);
}

std::vector<std::int16_t> ConvertSampleRate(const std::vector<std::int16_t>& interleaved, int channels,
                                            int fromRate, int toRate, std::size_t frames) {
  const auto width = static_cast<std::size_t>(channels);
  std::vector<float> in(interleaved.size());
  src_short_to_float_array(interleaved.data(), in.data(), static_cast<int>(in.size()));
  // Room for the converter's rounding beyond the frames kept.
  std::vector<float> out((frames + 64) * width, 0.0f);
  SRC_DATA data{};
  data.data_in = in.data();
  data.input_frames = static_cast<long>(interleaved.size() / width);
  data.data_out = out.data();
  data.output_frames = static_cast<long>(out.size() / width);
  data.src_ratio = static_cast<double>(toRate) / static_cast<double>(fromRate);
  if (const int error = src_simple(&data, SRC_SINC_BEST_QUALITY, channels); error != 0) {
    throw std::runtime_error(std::string("sample-rate conversion failed: ") + src_strerror(error));
  }
  std::vector<std::int16_t> converted(frames * width, 0);
  const std::size_t kept = std::min(frames, static_cast<std::size_t>(data.output_frames_gen)) * width;
  for (std::size_t i = 0; i < kept; ++i) converted[i] = SampleToSixteenBits(out[i]);
  return converted;
}

}  // namespace fw
