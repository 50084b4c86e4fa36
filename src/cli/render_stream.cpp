#include "cli/render_stream.h"

#include <algorithm>

namespace fw::cli {
namespace {

constexpr std::size_t kPieceFrames = 4096;

}  // namespace

EngineRateInput::EngineRateInput(MonoSoundReader& reader, int fileRate, int engineRate)
    : reader_(reader), fileRate_(fileRate), engineRate_(engineRate), piece_(kPieceFrames) {
  if (fileRate != engineRate) converter_.emplace(1, fileRate, engineRate);
}

std::size_t EngineRateInput::Take(std::int16_t* block, std::size_t n) {
  while (ready_.size() - next_ < n && !ended_) Refill();
  const std::size_t take = std::min(n, ready_.size() - next_);
  std::copy_n(ready_.begin() + static_cast<std::ptrdiff_t>(next_), take, block);
  next_ += take;
  return take;
}

void EngineRateInput::Refill() {
  ready_.erase(ready_.begin(), ready_.begin() + static_cast<std::ptrdiff_t>(next_));
  next_ = 0;
  const std::size_t got = reader_.Read(piece_.data(), piece_.size());
  fileFrames_ += got;
  ended_ = got < piece_.size();
  if (!converter_) {
    ready_.insert(ready_.end(), piece_.begin(), piece_.begin() + static_cast<std::ptrdiff_t>(got));
    return;
  }
  converter_->Push(piece_.data(), got, ready_);
  if (ended_) converter_->Finish(ConvertedFrames(fileFrames_, fileRate_, engineRate_), ready_);
}

FileRateOutput::FileRateOutput(const std::string& path, int channels, int engineRate, int fileRate)
    : channels_(static_cast<std::size_t>(channels)), writer_(path, channels, fileRate) {
  if (fileRate != engineRate) converter_.emplace(channels, engineRate, fileRate);
}

void FileRateOutput::Put(const std::int16_t* interleaved, std::size_t frames) {
  if (!converter_) {
    writer_.Write(interleaved, frames);
    return;
  }
  converted_.clear();
  converter_->Push(interleaved, frames, converted_);
  writer_.Write(converted_.data(), converted_.size() / channels_);
}

void FileRateOutput::Finish(std::size_t fileFrames) {
  if (converter_) {
    converted_.clear();
    converter_->Finish(fileFrames, converted_);
    writer_.Write(converted_.data(), converted_.size() / channels_);
  }
  writer_.Commit();
}

}  // namespace fw::cli
