#include "files/sound_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "files/au_file.h"

namespace fw {
namespace {

constexpr std::size_t kRawChunk = 1 << 16;  // bytes
constexpr sf_count_t kFrameChunk = 4096;

[[noreturn]] void Fail(const std::string& verb, const std::string& path, int error) {
  throw SoundFileError("cannot " + verb + " " + path + ": " + std::strerror(error));
}

std::string LimitText(std::uint64_t maxBytes) {
  return maxBytes == kMaxInputBytes ? "2 GiB" : std::to_string(maxBytes) + " bytes";
}

// An AU file is checked by our own header reader first, so a wrong magic number
// is refused and a short data part is played with a note.
void CheckAuHeader(const std::string& path, std::uint64_t fileSize, std::vector<std::string>& notes) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) Fail("read", path, errno);
  std::uint8_t header[24];
  const ssize_t got = ::read(file.get(), header, sizeof header);
  if (got < 0) Fail("read", path, errno);
  const AuHeaderCheck check = ParseAuHeader({header, static_cast<std::size_t>(got)}, fileSize);
  if (!check.valid) throw SoundFileError(path + ": " + check.problem);
  if (!check.note.empty()) notes.push_back(path + ": " + check.note);
}

bool LooksLikeAu(const std::string& path) {
  if (NameEndsWith(path, ".au") || NameEndsWith(path, ".snd")) return true;
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  char magic[4] = {};
  return file.get() >= 0 && ::read(file.get(), magic, 4) == 4 &&
         (std::memcmp(magic, ".snd", 4) == 0 || std::memcmp(magic, "dns.", 4) == 0);
}

}  // namespace

MonoSoundReader::MonoSoundReader(const std::string& path, std::uint64_t maxBytes)
    : path_(path), maxBytes_(maxBytes) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) Fail("read", path, errno);
  if (S_ISDIR(status.st_mode)) throw SoundFileError(path + " is a directory, not a sound file");
  const auto size = static_cast<std::uint64_t>(status.st_size);
  if (IsRawName(path)) {
    raw_.emplace(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (raw_->get() < 0) Fail("read", path, errno);
    if (::fstat(raw_->get(), &status) == 0 && S_ISREG(status.st_mode)) {
      if (static_cast<std::uint64_t>(status.st_size) > maxBytes) TooLarge("");
      if (status.st_size % 2 != 0) throw SoundFileError(path + ": odd number of bytes in a 16-bit .raw file");
    }
    return;
  }
  if (LooksLikeAu(path)) CheckAuHeader(path, size, notes_);
  SF_INFO info{};
  // Close-on-exec: programs the window starts never inherit the file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw SoundFileError("cannot read " + path + ": " + std::strerror(errno));
  // libsndfile closes the descriptor, also when it cannot open the file.
  sndfile_.reset(sf_open_fd(fd, SFM_READ, &info, SF_TRUE));
  if (!sndfile_) throw SoundFileError("cannot read " + path + ": " + sf_strerror(nullptr));
  if (info.channels < 1) throw SoundFileError(path + " has no channels");
  channels_ = static_cast<std::size_t>(info.channels);
  if (channels_ > 1) {
    notes_.push_back(path + " has " + std::to_string(channels_) + " channels; they are mixed to mono");
  }
  sampleRate_ = info.samplerate;
}

std::size_t MonoSoundReader::Read(std::int16_t* out, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    if (next_ == samples_.size() && !Refill()) break;
    const std::size_t take = std::min(count - done, samples_.size() - next_);
    std::copy_n(samples_.begin() + static_cast<std::ptrdiff_t>(next_), take, out + done);
    next_ += take;
    done += take;
  }
  return done;
}

void MonoSoundReader::TooLarge(const std::string& why) const {
  throw SoundFileError(path_ + ": input larger than the " + LimitText(maxBytes_) + " limit" + why);
}

bool MonoSoundReader::Refill() {
  samples_.clear();
  next_ = 0;
  return sndfile_ ? RefillWithSndfile() : RefillRaw();
}

// Little-endian 16-bit samples; an odd byte waits for its partner in bytes_.
bool MonoSoundReader::RefillRaw() {
  while (samples_.empty()) {
    if (bytesRead_ > maxBytes_) TooLarge(" (a file that never ends?)");
    const std::size_t kept = bytes_.size();
    bytes_.resize(kept + kRawChunk);
    const ssize_t got = ::read(raw_->get(), bytes_.data() + kept, kRawChunk);
    bytes_.resize(kept + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail("read", path_, errno);
    }
    if (got == 0) {
      if (!bytes_.empty()) throw SoundFileError(path_ + ": odd number of bytes in a 16-bit .raw file");
      return false;
    }
    bytesRead_ += static_cast<std::uint64_t>(got);
    const std::size_t whole = bytes_.size() / 2 * 2;
    for (std::size_t i = 0; i < whole; i += 2) {
      samples_.push_back(
          static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes_[i] | (bytes_[i + 1] << 8))));
    }
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(whole));
  }
  return true;
}

// Every sample format goes one way: read on the ±1.0 scale, mix the channels of a
// frame, then to 16 bits.
bool MonoSoundReader::RefillWithSndfile() {
  frames_.resize(static_cast<std::size_t>(kFrameChunk) * channels_);
  const sf_count_t got = sf_readf_double(sndfile_.get(), frames_.data(), kFrameChunk);
  if (got < 0 || sf_error(sndfile_.get()) != SF_ERR_NO_ERROR) {
    throw SoundFileError("cannot read " + path_ + ": " + sf_strerror(sndfile_.get()));
  }
  if (got == 0) return false;
  bytesRead_ += 2 * static_cast<std::uint64_t>(got);
  if (bytesRead_ > maxBytes_) TooLarge("");
  for (std::size_t frame = 0; frame < static_cast<std::size_t>(got); ++frame) {
    double sum = 0.0;
    for (std::size_t c = 0; c < channels_; ++c) sum += frames_[frame * channels_ + c];
    samples_.push_back(SampleToSixteenBits(sum / static_cast<double>(channels_)));
  }
  return true;
}

}  // namespace fw
