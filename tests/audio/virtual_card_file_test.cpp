// The virtual card's files: an input whose header lies costs no memory and no time,
// and a second Start appends to the output instead of wiping it.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "audio/virtual/virtual_sound_card.h"
#include "support/temp_dir.h"

namespace fw {
namespace {

class ConstantClient final : public AudioDeviceClient {
 public:
  void Process(const float* input, float* left, float* right, int frames) noexcept override {
    for (int i = 0; i < frames; ++i) {
      left[i] = 0.25f;
      right[i] = input[i];
    }
  }
};

// A FLAC file of `frames` frames whose header then claims 2^36 - 1 frames at `rate` Hz.
std::string LyingFlac(const std::filesystem::path& dir, int frames, std::uint32_t rate) {
  const std::string path = (dir / "lying.flac").string();
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 1;
  info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  const std::vector<float> samples(static_cast<std::size_t>(frames), 0.5f);
  sf_writef_float(file, samples.data(), frames);
  sf_close(file);
  std::fstream bytes(path, std::ios::in | std::ios::out | std::ios::binary);
  std::vector<char> head(26);
  bytes.read(head.data(), 26);
  // STREAMINFO after "fLaC" and its block header: 20 bits of rate, 3 of channels,
  // 5 of sample size, 36 of total frames.
  head[18] = static_cast<char>(rate >> 12);
  head[19] = static_cast<char>(rate >> 4);
  head[20] = static_cast<char>(((rate & 0xf) << 4) | (head[20] & 0x0f));
  head[21] = static_cast<char>(head[21] | 0x0f);
  for (int i = 22; i < 26; ++i) head[static_cast<std::size_t>(i)] = static_cast<char>(0xff);
  bytes.seekp(0);
  bytes.write(head.data(), 26);
  return path;
}

TEST(VirtualCardFiles, AHeaderClaimingHugeLengthAndTinyRateCostsNothing) {
  test::TempDir dir;
  VirtualCardOptions options;
  options.inputFile = LyingFlac(dir.path(), 1000, 1);
  options.loop = false;
  options.pacing = VirtualCardOptions::Pacing::Manual;
  VirtualSoundCard card(options);
  std::string error;
  ASSERT_TRUE(card.Load(error)) << error;
  EXPECT_EQ(card.SampleRate(), VirtualSoundCard::kMinRate);
  ConstantClient client;
  ASSERT_TRUE(card.Start(client, 44100, error)) << error;
  for (int i = 0; i < 20 && !card.InputFinished(); ++i) card.Pump();
  // The real frames play, then the end is seen where the data ends.
  EXPECT_TRUE(card.InputFinished());
  card.Stop();

  // Paced in real time at the limited rate, a stop is seen at once.
  options.pacing = VirtualCardOptions::Pacing::RealTime;
  options.period = VirtualSoundCard::kMaxPeriod;
  VirtualSoundCard paced(options);
  ASSERT_TRUE(paced.Load(error)) << error;
  ASSERT_TRUE(paced.Start(client, 44100, error)) << error;
  while (paced.FramesRun() == 0) std::this_thread::yield();
  paced.Stop();
}

TEST(VirtualCardFiles, ASecondStartAppendsToTheOutput) {
  test::TempDir dir;
  VirtualCardOptions options;
  options.inputSamples = std::vector<float>(1000, 0.5f);
  options.outputFile = (dir.path() / "out.wav").string();
  options.pacing = VirtualCardOptions::Pacing::Manual;
  VirtualSoundCard card(options);
  ConstantClient client;
  std::string error;
  for (int start = 0; start < 2; ++start) {
    ASSERT_TRUE(card.Start(client, 44100, error)) << error;
    for (int i = 0; i < 3; ++i) card.Pump();
    card.Stop();
    // The header is current whenever the card stops, before the card goes.
    SF_INFO info{};
    SNDFILE* file = sf_open(options.outputFile.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    sf_close(file);
    EXPECT_EQ(info.frames, 3 * 128 * (start + 1));
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_WAVEX);  // RF64 only past 4 GiB
  }
}

}  // namespace
}  // namespace fw
