#include "audio/virtual/virtual_sound_card.h"

#include <sndfile.h>

#include <algorithm>
#include <chrono>

namespace fw {

VirtualSoundCard::VirtualSoundCard(VirtualCardOptions options)
    : options_(std::move(options)),
      in_(kMaxPeriod),
      left_(kMaxPeriod),
      right_(kMaxPeriod),
      interleaved_(2 * kMaxPeriod) {
  period_.store(std::clamp(options_.period, 1, kMaxPeriod));
  input_ = options_.inputSamples;
  rate_ = options_.rate > 0 ? options_.rate : 44100;
}

VirtualSoundCard::~VirtualSoundCard() { Stop(); }

bool VirtualSoundCard::Load(std::string& error) {
  if (options_.inputFile.empty()) return true;
  SF_INFO info{};
  SNDFILE* file = sf_open(options_.inputFile.c_str(), SFM_READ, &info);
  if (file == nullptr) {
    error = "Can not read " + options_.inputFile + ": " + sf_strerror(nullptr);
    return false;
  }
  std::vector<float> frames(static_cast<std::size_t>(info.frames) * static_cast<std::size_t>(info.channels));
  const sf_count_t got = sf_readf_float(file, frames.data(), info.frames);
  sf_close(file);
  input_.assign(static_cast<std::size_t>(got), 0.0f);
  for (sf_count_t f = 0; f < got; ++f) {
    float sum = 0.0f;
    for (int c = 0; c < info.channels; ++c) sum += frames[static_cast<std::size_t>(f * info.channels + c)];
    input_[static_cast<std::size_t>(f)] = sum / static_cast<float>(info.channels);
  }
  if (options_.rate <= 0) rate_ = info.samplerate;
  return true;
}

std::vector<std::string> VirtualSoundCard::OutputDevices() {
  std::vector<std::string> names;
  for (int i = 0; i < options_.outputDevices; ++i) {
    names.push_back(i == 0 ? "Virtual sound card" : "Virtual sound card " + std::to_string(i + 1));
  }
  return names;
}

bool VirtualSoundCard::Start(AudioDeviceClient& client, int preferredRate, std::string& error) {
  (void)preferredRate;  // the card runs at its input's rate
  if (running_.load()) return true;
  if (!options_.outputFile.empty()) {
    SF_INFO info{};
    info.samplerate = rate_;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(options_.outputFile.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
      error = "Can not write " + options_.outputFile + ": " + sf_strerror(nullptr);
      return false;
    }
    file_ = file;
  }
  client_ = &client;
  announcedPeriod_ = period_.load();
  stop_.store(false);
  writeFailed_.store(false);
  running_.store(true);
  ++starts_;
  if (options_.pacing != VirtualCardOptions::Pacing::Manual) thread_ = std::thread([this] { Thread(); });
  return true;
}

void VirtualSoundCard::Stop() {
  if (!running_.load()) return;
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
  // A manual pump on another thread finishes its period before the client goes.
  while (pumping_.load()) std::this_thread::yield();
  running_.store(false);
  if (file_ != nullptr) {
    auto* file = static_cast<SNDFILE*>(file_);
    file_ = nullptr;
    // The header is completed at close: a failure there loses the take too.
    if (sf_close(file) != 0 && !writeFailed_.load()) ReportWriteFailure(sf_strerror(nullptr));
  }
  client_ = nullptr;
}

void VirtualSoundCard::SetPeriod(int frames) { period_.store(std::clamp(frames, 1, kMaxPeriod)); }

void VirtualSoundCard::Pump() {
  // Announced before stop_ is read, so that Stop either sees the pump or the pump
  // sees the stop.
  pumping_.store(true);
  if (running_.load() && !stop_.load() && options_.pacing == VirtualCardOptions::Pacing::Manual) RunPeriod();
  pumping_.store(false);
}

bool VirtualSoundCard::RunPeriod() {
  const int n = period_.load();
  if (n != announcedPeriod_) {
    announcedPeriod_ = n;
    client_->PeriodChanged(n);
  }
  // Silence while the client does not listen yet: the file waits for it.
  const bool holdInput = !client_->Capturing();
  if (!holdInput && inputBeganAt_.load() < 0) inputBeganAt_.store(framesRun_.load());
  bool reachedEnd = false;
  for (int i = 0; i < n; ++i) {
    float v = 0.0f;
    if (!holdInput && inputPos_ < input_.size()) {
      v = input_[inputPos_++];
      if (inputPos_ == input_.size()) {
        if (options_.loop) {
          inputPos_ = 0;
        } else {
          reachedEnd = true;
        }
      }
    } else if (!holdInput && input_.empty()) {
      reachedEnd = true;
    }
    in_[static_cast<std::size_t>(i)] = v;
  }
  client_->Process(in_.data(), left_.data(), right_.data(), n);
  // Finished once the last sample has been through the client, not before.
  if (reachedEnd) finished_.store(true);
  framesRun_.fetch_add(n);

  // The card's own work, after the callback: like a driver moving data to the hardware.
  if (options_.keepOutput) {
    playedLeft.insert(playedLeft.end(), left_.begin(), left_.begin() + n);
    playedRight.insert(playedRight.end(), right_.begin(), right_.begin() + n);
  }
  if (file_ != nullptr) {
    for (int i = 0; i < n; ++i) {
      interleaved_[static_cast<std::size_t>(2 * i)] = left_[static_cast<std::size_t>(i)];
      interleaved_[static_cast<std::size_t>(2 * i + 1)] = right_[static_cast<std::size_t>(i)];
    }
    auto* file = static_cast<SNDFILE*>(file_);
    if (sf_writef_float(file, interleaved_.data(), n) != n) {
      ReportWriteFailure(sf_strerror(file));
      stop_.store(true);
    }
  }
  return !holdInput;
}

void VirtualSoundCard::ReportWriteFailure(const char* reason) {
  writeFailed_.store(true);
  writeFailure_ = "cannot write " + options_.outputFile + ": " + reason;
  if (client_ != nullptr) client_->DeviceLost(writeFailure_.c_str());
}

void VirtualSoundCard::Thread() {
  using Clock = std::chrono::steady_clock;
  auto next = Clock::now();
  const auto limit = static_cast<std::int64_t>(options_.secondsLimit * rate_);
  while (!stop_.load()) {
    const bool heard = RunPeriod();
    if (heard) framesHeard_ += announcedPeriod_;
    if (limit > 0 && framesHeard_ >= limit) {
      finished_.store(true);
      break;
    }
    // Fast pacing runs real time until the client listens: the wait before a start
    // is no longer than it would be live.
    if (options_.pacing == VirtualCardOptions::Pacing::RealTime || !heard) {
      next += std::chrono::nanoseconds(static_cast<std::int64_t>(announcedPeriod_) * 1000000000LL / rate_);
      std::this_thread::sleep_until(next);
    }
  }
}

}  // namespace fw
