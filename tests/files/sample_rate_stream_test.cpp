// Conversion a piece at a time gives, sample for sample, what libsamplerate gives
// for the whole signal in one call, cut or padded to the length asked for.
#include <gtest/gtest.h>
#include <samplerate.h>

#include <cmath>

#include "files/sample_rate_conversion.h"
#include "files/sound_file.h"

namespace fw {
namespace {

std::vector<std::int16_t> WholeConversion(const std::vector<std::int16_t>& in, int channels, double ratio,
                                          std::size_t frames) {
  const auto width = static_cast<std::size_t>(channels);
  std::vector<float> floats(in.size());
  src_short_to_float_array(in.data(), floats.data(), static_cast<int>(in.size()));
  std::vector<float> out((frames + 64) * width);
  SRC_DATA data{};
  data.data_in = floats.data();
  data.input_frames = static_cast<long>(in.size() / width);
  data.data_out = out.data();
  data.output_frames = static_cast<long>(frames + 64);
  data.src_ratio = ratio;
  EXPECT_EQ(src_simple(&data, SRC_SINC_BEST_QUALITY, channels), 0);
  std::vector<std::int16_t> converted(frames * width, 0);
  const std::size_t kept = std::min(frames, static_cast<std::size_t>(data.output_frames_gen)) * width;
  for (std::size_t i = 0; i < kept; ++i) converted[i] = SampleToSixteenBits(out[i]);
  return converted;
}

TEST(SampleRateStream, PiecesOfAnySizeConvertAsTheWholeSignal) {
  struct Case {
    int channels, from, to;
    std::size_t frames;
  };
  for (const Case c : {Case{1, 44100, 22050, 5001}, Case{2, 22050, 48000, 3000}, Case{1, 8000, 22050, 7}}) {
    SCOPED_TRACE(c.from);
    std::vector<std::int16_t> in;
    for (std::size_t i = 0; i < c.frames * static_cast<std::size_t>(c.channels); ++i)
      in.push_back(static_cast<std::int16_t>(9000.0 * std::sin(0.013 * static_cast<double>(i * i % 7919))));
    // One frame more (padded) or less (cut) than the converter gives.
    const std::size_t total = ConvertedFrames(c.frames, c.from, c.to) + (c.channels == 2 ? 1 : -1);
    SampleRateStream stream(c.channels, c.from, c.to);
    std::vector<std::int16_t> out;
    const std::size_t pieces[] = {1, 37, 500, 4096};
    for (std::size_t done = 0, k = 0; done < c.frames; ++k) {
      const std::size_t n = std::min(pieces[k % 4], c.frames - done);
      stream.Push(in.data() + done * static_cast<std::size_t>(c.channels), n, out);
      done += n;
    }
    stream.Finish(total, out);
    EXPECT_EQ(out, WholeConversion(in, c.channels, static_cast<double>(c.to) / c.from, total));
  }
}

}  // namespace
}  // namespace fw
