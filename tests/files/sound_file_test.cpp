// Sound-file input for render: every sample format reads on one 16-bit scale, and
// bad input (a directory, an endless device, a broken AU header) gets a message.
#include "files/sound_file.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "files/au_file.h"
#include "files/files_test_support.h"

namespace fw {
namespace {

// Multiples of 256 survive every format down to 8 bits exactly; the ends of the
// range are included.
std::vector<std::int16_t> TestSignal() {
  std::vector<std::int16_t> s;
  for (int i = 0; i < 300; ++i)
    s.push_back(static_cast<std::int16_t>(256 * std::lround(127.0 * std::sin(0.07 * i))));
  s.push_back(-32768);
  s.push_back(32512);
  return s;
}

void WriteWith(const std::string& path, int format, const std::vector<std::int16_t>& signal) {
  SF_INFO info{};
  info.samplerate = 22050;
  info.channels = 1;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
  // Integers are written shifted (exact in every width), floats on the ±1.0 scale.
  std::vector<int> shifted;
  std::vector<double> scaled;
  for (std::int16_t v : signal) {
    shifted.push_back(v * 65536);
    scaled.push_back(v / 32768.0);
  }
  const int subtype = format & SF_FORMAT_SUBMASK;
  if (subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE) {
    sf_write_double(file, scaled.data(), static_cast<sf_count_t>(scaled.size()));
  } else {
    sf_write_int(file, shifted.data(), static_cast<sf_count_t>(shifted.size()));
  }
  sf_close(file);
}

TEST(SoundFileInput, IntegerAndFloatFormatsReadAlike) {
  test::TempDir dir;
  const std::vector<std::int16_t> signal = TestSignal();
  const struct {
    const char* name;
    int format;
  } formats[] = {
      {"u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8},    {"s16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
      {"s24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24},   {"s32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32},
      {"f32.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT},    {"f64.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE},
      {"f32.au", SF_FORMAT_AU | SF_FORMAT_FLOAT},      {"f64.au", SF_FORMAT_AU | SF_FORMAT_DOUBLE},
      {"s24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24}, {"s8.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_S8},
  };
  for (const auto& f : formats) {
    WriteWith(dir / f.name, f.format, signal);
    EXPECT_EQ(ReadMonoSound(dir / f.name).samples, signal) << f.name;
  }
}

TEST(SoundFileInput, FloatSamplesAreRoundedAndClipped) {
  test::TempDir dir;
  const std::string path = dir / "loud.wav";
  SF_INFO info{};
  info.samplerate = 22050;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr);
  // Halves go away from zero; just below a half goes towards it.
  const float samples[] = {1.4f / 32768,  1.6f / 32768,        -2.5f / 32768, 2.5f / 32768, 0.5f / 32768,
                           -0.5f / 32768, 0.49999997f / 32768, 1.5f,          -1.5f,        NAN,
                           0.5f};
  sf_write_float(file, samples, 11);
  sf_close(file);
  EXPECT_EQ(ReadMonoSound(path).samples,
            (std::vector<std::int16_t>{1, 2, -3, 3, 1, -1, 0, 32767, -32768, 0, 16384}));
}

TEST(SoundFileInput, DirectoriesEndlessDevicesAndMissingFilesAreNamed) {
  test::TempDir dir;
  const auto message = [](const std::string& path, std::uint64_t limit = kMaxInputBytes) {
    try {
      ReadMonoSound(path, limit);
    } catch (const SoundFileError& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message(dir / ""), (dir / "") + " is a directory, not a sound file");
  EXPECT_EQ(message(dir / "none.raw"), "cannot read " + (dir / "none.raw") + ": No such file or directory");
  std::filesystem::create_symlink("/dev/zero", dir / "zero.raw");
  EXPECT_EQ(message(dir / "zero.raw", 1 << 20),
            (dir / "zero.raw") + ": input larger than the 1048576 bytes limit (a file that never ends?)");
  test::WriteBytes(dir / "big.raw", std::vector<std::uint8_t>(4096, 0));
  EXPECT_EQ(message(dir / "big.raw", 1024), (dir / "big.raw") + ": input larger than the 1024 bytes limit");
  EXPECT_EQ(kMaxInputBytes, 2147483648u);
}

std::vector<std::uint8_t> AuFile(std::uint32_t dataSize, std::size_t samples) {
  const auto fields = AuHeaderFields(dataSize, 22050);
  std::vector<std::uint8_t> bytes(kAuHeaderSize, 0);
  std::copy(fields.begin(), fields.end(), bytes.begin());
  for (std::size_t i = 0; i < samples; ++i) {
    bytes.push_back(0x01);
    bytes.push_back(static_cast<std::uint8_t>(i));
  }
  return bytes;
}

TEST(SoundFileInput, AnAuFileLongerInItsHeaderPlaysWhatIsThereAndAWrongMagicIsRefused) {
  test::TempDir dir;
  test::WriteBytes(dir / "cut.au", AuFile(2000, 10));
  const MonoSound cut = ReadMonoSound(dir / "cut.au");
  ASSERT_EQ(cut.samples.size(), 10u);
  EXPECT_EQ(cut.samples[3], 0x0103);
  ASSERT_EQ(cut.notes.size(), 1u);
  EXPECT_EQ(cut.notes[0],
            (dir / "cut.au") +
                ": the AU header announces 2000 data bytes but the file holds 20; playing what is there");

  std::vector<std::uint8_t> wrong = AuFile(20, 10);
  wrong[0] = 'x';
  test::WriteBytes(dir / "wrong.au", wrong);
  try {
    ReadMonoSound(dir / "wrong.au");
    FAIL() << "no error";
  } catch (const SoundFileError& error) {
    EXPECT_EQ(
        std::string(error.what()),
        (dir / "wrong.au") + ": not an AU file: magic number 0x78736e64, expected 0x2e736e64 (\".snd\")");
  }
  EXPECT_FALSE(ParseAuHeader(std::vector<std::uint8_t>(AuFile(20, 0)), 100).valid) << "offset past the end";
}

}  // namespace
}  // namespace fw
