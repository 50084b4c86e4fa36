#include "files/sound_writer.h"

#include "files/io_error.h"

namespace fw {
namespace {

// The replacement's failures name the target and the reason already.
template <class Step>
void Checked(Step step) {
  try {
    step();
  } catch (const IoError& error) {
    throw SoundFileError(error.Detail());
  }
}

}  // namespace

SoundWriter::SoundWriter(const std::string& path, int channels, int sampleRate, FileCalls calls)
    : channels_(static_cast<std::size_t>(channels)) {
  if (const std::string problem = OutputNameProblem(path); !problem.empty()) throw SoundFileError(problem);
  if (channels < 1) throw SoundFileError("cannot write " + path + ": no channels");
  Checked([&] { file_ = std::make_unique<ReplacementFile>(path, calls); });
  if (IsRawName(path)) return;
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = *SndfileFormatFor(path);
  // The library writes through our descriptor and leaves closing it to us.
  sndfile_.reset(sf_open_fd(file_->Descriptor(), SFM_WRITE, &info, SF_FALSE));
  if (!sndfile_) throw SoundFileError("cannot write " + path + ": " + sf_strerror(nullptr));
}

void SoundWriter::Write(const std::int16_t* interleaved, std::size_t frames) {
  pending_.insert(pending_.end(), interleaved, interleaved + frames * channels_);
  if (pending_.size() >= kPieceSamples) WritePending();
}

void SoundWriter::WritePending() {
  const std::size_t count = pending_.size();
  if (count == 0) return;
  if (sndfile_) {
    if (sf_write_short(sndfile_.get(), pending_.data(), static_cast<sf_count_t>(count)) !=
        static_cast<sf_count_t>(count)) {
      throw SoundFileError("cannot write " + file_->Target() + ": " + sf_strerror(sndfile_.get()));
    }
  } else {
    bytes_.clear();
    for (const std::int16_t sample : pending_) {
      const auto u = static_cast<std::uint16_t>(sample);
      bytes_.push_back(static_cast<std::uint8_t>(u & 0xFFu));
      bytes_.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    Checked([&] { file_->Write(bytes_.data(), bytes_.size()); });
  }
  pending_.clear();
}

void SoundWriter::Commit() {
  WritePending();
  // Closing writes the final header; its failure is the file's failure.
  if (sndfile_) {
    if (const int error = sf_close(sndfile_.release()); error != 0) {
      throw SoundFileError("cannot write " + file_->Target() + ": " + sf_error_number(error));
    }
  }
  Checked([&] { file_->Commit(); });
}

}  // namespace fw
