#include "audio/virtual/virtual_sound_card.h"

#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>

namespace fw {
namespace {

// Frames read from the input file at a time (times its channels, up to 1024).
constexpr int kInputChunk = 256;

}  // namespace

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

VirtualSoundCard::~VirtualSoundCard() {
  Stop();
  CloseOutput();
  if (inputFile_ != nullptr) sf_close(static_cast<SNDFILE*>(inputFile_));
}

bool VirtualSoundCard::Load(std::string& error) {
  if (options_.inputFile.empty()) return true;
  const int fd = ::open(options_.inputFile.c_str(), O_RDONLY | O_CLOEXEC);
  SF_INFO info{};
  // libsndfile closes the descriptor, also when it cannot open the file.
  SNDFILE* file = fd < 0 ? nullptr : sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
  if (file == nullptr) {
    error =
        "Can not read " + options_.inputFile + ": " + (fd < 0 ? std::strerror(errno) : sf_strerror(nullptr));
    return false;
  }
  inputFile_ = file;
  inputChannels_ = std::max(info.channels, 1);
  inputFrames_ = info.frames;
  inputChunk_.assign(static_cast<std::size_t>(kInputChunk) * static_cast<std::size_t>(inputChannels_), 0.0f);
  if (options_.rate <= 0) {
    rate_ = std::clamp(info.samplerate, kMinRate, kMaxRate);
    if (rate_ != info.samplerate) {
      std::cerr << "fretwerk: note: " << options_.inputFile << " says its rate is " << info.samplerate
                << " Hz; the virtual card plays it at " << rate_ << " Hz\n";
    }
  }
  return true;
}

std::vector<std::string> VirtualSoundCard::OutputDevices() {
  std::vector<std::string> names;
  for (int i = 0; i < options_.outputDevices; ++i) {
    names.push_back(i == 0 ? "Virtual sound card" : "Virtual sound card " + std::to_string(i + 1));
  }
  return names;
}

bool VirtualSoundCard::OpenOutput(std::string& error) {
  if (file_ != nullptr || options_.outputFile.empty()) return true;
  // Close-on-exec: programs the window starts never hold the output open.
  const int fd = ::open(options_.outputFile.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  SF_INFO info{};
  info.samplerate = rate_;
  info.channels = 2;
  info.format = SF_FORMAT_RF64 | SF_FORMAT_PCM_16;
  SNDFILE* file = fd < 0 ? nullptr : sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
  if (file == nullptr) {
    error = "Can not write " + options_.outputFile + ": " +
            (fd < 0 ? std::strerror(errno) : sf_strerror(nullptr));
    return false;
  }
  // A WAV file while it fits, and a header that is right after every period, so a
  // program that ends without Stop leaves a readable file.
  sf_command(file, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
  sf_command(file, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
  file_ = file;
  return true;
}

void VirtualSoundCard::CloseOutput() {
  if (file_ == nullptr) return;
  auto* file = static_cast<SNDFILE*>(file_);
  file_ = nullptr;
  if (sf_close(file) != 0 && !writeFailed_.load()) {
    writeFailed_.store(true);
    writeFailure_ = "cannot write " + options_.outputFile + ": " + sf_strerror(nullptr);
  }
}

bool VirtualSoundCard::Start(AudioDeviceClient& client, int preferredRate, std::string& error) {
  (void)preferredRate;  // the card runs at its input's rate
  if (running_.load()) return true;
  // What an earlier Start wrote stays: the file is opened once and appended to.
  if (writeFailed_.load()) {
    error = writeFailure_;
    return false;
  }
  if (!OpenOutput(error)) return false;
  client_ = &client;
  announcedPeriod_ = period_.load();
  stop_.store(false);
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
  // The header is current; what the periods wrote reaches the disk.
  if (file_ != nullptr) sf_write_sync(static_cast<SNDFILE*>(file_));
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
  bool reachedEnd = false;
  const bool capturing = client_->Capturing();
  // Where the input began: a listener lines up what it sent with what came back.
  if (capturing && inputBeganAt_.load() < 0) inputBeganAt_.store(framesRun_.load());
  if (!capturing) {
    std::fill_n(in_.begin(), n, 0.0f);
  } else if (inputFile_ != nullptr) {
    reachedEnd = ReadFileInput(n);
  } else {
    reachedEnd = ReadMemoryInput(n);
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
  return capturing;
}

bool VirtualSoundCard::ReadMemoryInput(int n) {
  bool reachedEnd = input_.empty();
  for (int i = 0; i < n; ++i) {
    float v = 0.0f;
    if (inputPos_ < input_.size()) {
      v = input_[inputPos_++];
      if (inputPos_ == input_.size()) {
        if (options_.loop) {
          inputPos_ = 0;
        } else {
          reachedEnd = true;
        }
      }
    }
    in_[static_cast<std::size_t>(i)] = v;
  }
  return reachedEnd;
}

bool VirtualSoundCard::ReadFileInput(int n) {
  auto* file = static_cast<SNDFILE*>(inputFile_);
  bool reachedEnd = false;
  int filled = 0;
  while (filled < n && !reachedEnd) {
    const int want = std::min(n - filled, kInputChunk);
    const sf_count_t got = inputRead_ < inputFrames_ ? sf_readf_float(file, inputChunk_.data(), want) : 0;
    for (sf_count_t f = 0; f < got; ++f) {
      float sum = 0.0f;
      for (int c = 0; c < inputChannels_; ++c)
        sum += inputChunk_[static_cast<std::size_t>(f * inputChannels_ + c)];
      in_[static_cast<std::size_t>(filled + f)] = sum / static_cast<float>(inputChannels_);
    }
    filled += static_cast<int>(got);
    inputRead_ += got;
    // The end: where the header says, or sooner where the data ends.
    if (got < want || inputRead_ >= inputFrames_) {
      const bool empty = inputRead_ == 0;
      if (options_.loop && !empty && sf_seek(file, 0, SEEK_SET) == 0) {
        inputFrames_ = inputRead_;
        inputRead_ = 0;
      } else {
        reachedEnd = true;
      }
    }
  }
  std::fill(in_.begin() + filled, in_.begin() + n, 0.0f);
  return reachedEnd;
}

void VirtualSoundCard::ReportWriteFailure(const char* reason) {
  writeFailed_.store(true);
  writeFailure_ = "cannot write " + options_.outputFile + ": " + reason;
  if (client_ != nullptr) client_->DeviceLost(writeFailure_.c_str());
}

void VirtualSoundCard::Thread() {
  // A card's clock is never late: where the system allows it, a card paced in real time
  // runs its thread at real-time priority as a sound server does, so a loaded machine
  // does not make it fall behind and then catch up in a burst of periods. Fast pacing
  // never waits, and stays at normal priority so that it cannot starve a core.
  if (options_.pacing == VirtualCardOptions::Pacing::RealTime) {
    sched_param param{};
    param.sched_priority = 20;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);  // refused without the right: normal priority
  }
  using Clock = std::chrono::steady_clock;
  // Short slices: a stop is seen soon even when a period is long.
  constexpr auto kSlice = std::chrono::milliseconds(20);
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
      while (!stop_.load() && Clock::now() < next)
        std::this_thread::sleep_until(std::min(next, Clock::now() + kSlice));
    }
  }
}

}  // namespace fw
