#include "files/sound_file.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>

#include "files/au_file.h"
#include "files/file_descriptor.h"
#include "files/io_error.h"
#include "files/replacement_file.h"

namespace fw {
namespace {

struct SndfileCloser {
  void operator()(SNDFILE* file) const noexcept { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

[[noreturn]] void Fail(const std::string& verb, const std::string& path, int error) {
  throw SoundFileError("cannot " + verb + " " + path + ": " + std::strerror(error));
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool EndsWith(const std::string& text, const std::string& ending) {
  return text.size() >= ending.size() &&
         text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

std::string LimitText(std::uint64_t maxBytes) {
  return maxBytes == kMaxInputBytes ? "2 GiB" : std::to_string(maxBytes) + " bytes";
}

std::int16_t FromLittleEndian(unsigned char low, unsigned char high) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
}

// Reads the whole file (or device) in chunks, refusing more than maxBytes.
std::vector<unsigned char> ReadBytesUpTo(const std::string& path, std::uint64_t maxBytes) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) Fail("read", path, errno);
  struct stat status {};
  if (::fstat(file.get(), &status) == 0 && S_ISREG(status.st_mode) &&
      static_cast<std::uint64_t>(status.st_size) > maxBytes) {
    throw SoundFileError(path + ": input larger than the " + LimitText(maxBytes) + " limit");
  }
  std::vector<unsigned char> bytes;
  constexpr std::size_t kChunk = 1 << 16;
  for (;;) {
    const std::size_t filled = bytes.size();
    if (filled > maxBytes) {
      throw SoundFileError(path + ": input larger than the " + LimitText(maxBytes) +
                           " limit (a file that never ends?)");
    }
    bytes.resize(filled + kChunk);
    const ssize_t got = ::read(file.get(), bytes.data() + filled, kChunk);
    if (got < 0) {
      bytes.resize(filled);
      if (errno == EINTR) continue;
      Fail("read", path, errno);
    }
    bytes.resize(filled + static_cast<std::size_t>(got));
    if (got == 0) break;
  }
  return bytes;
}

MonoSound ReadRaw(const std::string& path, std::uint64_t maxBytes) {
  const std::vector<unsigned char> bytes = ReadBytesUpTo(path, maxBytes);
  if (bytes.size() % 2 != 0) throw SoundFileError(path + ": odd number of bytes in a 16-bit .raw file");
  MonoSound sound;
  sound.samples.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); i += 2)
    sound.samples.push_back(FromLittleEndian(bytes[i], bytes[i + 1]));
  return sound;
}

// An AU file is checked by our own header reader first, so a wrong magic number
// is refused and a short data part is played with a note.
void CheckAuHeader(const std::string& path, std::uint64_t fileSize, MonoSound& sound) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) Fail("read", path, errno);
  std::uint8_t header[24];
  const ssize_t got = ::read(file.get(), header, sizeof header);
  if (got < 0) Fail("read", path, errno);
  const AuHeaderCheck check = ParseAuHeader({header, static_cast<std::size_t>(got)}, fileSize);
  if (!check.valid) throw SoundFileError(path + ": " + check.problem);
  if (!check.note.empty()) sound.notes.push_back(path + ": " + check.note);
}

bool LooksLikeAu(const std::string& path) {
  if (EndsWith(Lower(path), ".au") || EndsWith(Lower(path), ".snd")) return true;
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  char magic[4] = {};
  return file.get() >= 0 && ::read(file.get(), magic, 4) == 4 &&
         (std::memcmp(magic, ".snd", 4) == 0 || std::memcmp(magic, "dns.", 4) == 0);
}

MonoSound ReadWithSndfile(const std::string& path, std::uint64_t fileSize, std::uint64_t maxBytes) {
  MonoSound sound;
  if (LooksLikeAu(path)) CheckAuHeader(path, fileSize, sound);
  SF_INFO info{};
  // Close-on-exec: programs the window starts never inherit the file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw SoundFileError("cannot read " + path + ": " + std::strerror(errno));
  // libsndfile closes the descriptor, also when it cannot open the file.
  SndfileHandle file(sf_open_fd(fd, SFM_READ, &info, SF_TRUE));
  if (!file) throw SoundFileError("cannot read " + path + ": " + sf_strerror(nullptr));
  if (info.channels < 1) throw SoundFileError(path + " has no channels");
  const auto channels = static_cast<std::size_t>(info.channels);
  if (channels > 1) {
    sound.notes.push_back(path + " has " + std::to_string(channels) + " channels; they are mixed to mono");
  }
  sound.sampleRate = info.samplerate;
  // Every sample format goes one way: read on the ±1.0 scale, mix the channels of a
  // frame, then to 16 bits.
  constexpr sf_count_t kChunk = 4096;
  std::vector<double> chunk(static_cast<std::size_t>(kChunk) * channels);
  for (;;) {
    const sf_count_t got = sf_readf_double(file.get(), chunk.data(), kChunk);
    if (got < 0) throw SoundFileError("cannot read " + path + ": " + sf_strerror(file.get()));
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
      throw SoundFileError("cannot read " + path + ": " + sf_strerror(file.get()));
    }
    if (got == 0) break;
    if (2 * (sound.samples.size() + static_cast<std::size_t>(got)) > maxBytes) {
      throw SoundFileError(path + ": input larger than the " + LimitText(maxBytes) + " limit");
    }
    for (std::size_t frame = 0; frame < static_cast<std::size_t>(got); ++frame) {
      double sum = 0.0;
      for (std::size_t c = 0; c < channels; ++c) sum += chunk[frame * channels + c];
      sound.samples.push_back(SampleToSixteenBits(sum / static_cast<double>(channels)));
    }
  }
  return sound;
}

void WriteRaw(ReplacementFile& file, const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(samples.size() * 2);
  for (const std::int16_t s : samples) {
    const auto u = static_cast<std::uint16_t>(s);
    bytes.push_back(static_cast<std::uint8_t>(u & 0xFFu));
    bytes.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  file.Write(bytes.data(), bytes.size());
}

void WriteWithSndfile(ReplacementFile& file, const std::vector<std::int16_t>& interleaved, int channels,
                      int sampleRate, int format) {
  const std::string& path = file.Target();
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = format;
  // The library writes through our descriptor and leaves closing it to us.
  SNDFILE* opened = sf_open_fd(file.Descriptor(), SFM_WRITE, &info, SF_FALSE);
  if (opened == nullptr) throw SoundFileError("cannot write " + path + ": " + sf_strerror(nullptr));
  SndfileHandle handle(opened);
  const auto count = static_cast<sf_count_t>(interleaved.size());
  if (sf_write_short(opened, interleaved.data(), count) != count) {
    throw SoundFileError("cannot write " + path + ": " + sf_strerror(opened));
  }
  // Closing writes the final header; its failure is the file's failure.
  if (const int error = sf_close(handle.release()); error != 0) {
    throw SoundFileError("cannot write " + path + ": " + sf_error_number(error));
  }
}

}  // namespace

std::int16_t SampleToSixteenBits(double sample) {
  if (std::isnan(sample)) return 0;
  const double scaled = sample * 32768.0;
  if (scaled >= 32767.0) return 32767;
  if (scaled <= -32768.0) return -32768;
  return static_cast<std::int16_t>(std::lround(scaled));
}

bool IsRawName(const std::string& path) { return EndsWith(Lower(path), ".raw"); }

MonoSound ReadMonoSound(const std::string& path, std::uint64_t maxBytes) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) Fail("read", path, errno);
  if (S_ISDIR(status.st_mode)) throw SoundFileError(path + " is a directory, not a sound file");
  const auto size = static_cast<std::uint64_t>(status.st_size);
  return IsRawName(path) ? ReadRaw(path, maxBytes) : ReadWithSndfile(path, size, maxBytes);
}

std::optional<int> SndfileFormatFor(const std::string& path) {
  const std::string name = Lower(path);
  if (EndsWith(name, ".wav")) return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  if (EndsWith(name, ".au")) return SF_FORMAT_AU | SF_FORMAT_PCM_16;
  if (EndsWith(name, ".flac")) return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  if (EndsWith(name, ".ogg")) return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  return std::nullopt;
}

std::string OutputNameProblem(const std::string& path) {
  if (IsRawName(path) || SndfileFormatFor(path)) return {};
  return "cannot write " + path + ": the name must end in .wav, .au, .flac, .ogg or .raw";
}

void WriteSound(const std::string& path, const std::vector<std::int16_t>& interleaved, int channels,
                int sampleRate, FileCalls calls) {
  if (const std::string problem = OutputNameProblem(path); !problem.empty()) throw SoundFileError(problem);
  if (channels < 1) throw SoundFileError("cannot write " + path + ": no channels");
  if (interleaved.size() % static_cast<std::size_t>(channels) != 0) {
    throw SoundFileError("cannot write " + path + ": incomplete frame");
  }
  try {
    ReplacementFile file(path, calls);
    if (IsRawName(path)) {
      WriteRaw(file, interleaved);
    } else {
      WriteWithSndfile(file, interleaved, channels, sampleRate, *SndfileFormatFor(path));
    }
    file.Commit();
  } catch (const IoError& error) {
    throw SoundFileError(error.Detail());
  }
}

}  // namespace fw
