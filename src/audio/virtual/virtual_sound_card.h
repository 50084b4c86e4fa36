#pragma once
// The virtual sound card: input from a sound file or from samples in memory (looped
// or once), output to a sound file and/or memory, paced by a real-time clock, as fast
// as possible, or one period at a time by the caller (tests). The input file is read
// as it plays, never all at once, so a header that claims a huge length costs
// nothing. The output file is created at the first Start and stays open until the
// card goes: a later Start appends. Its header is kept current after every period,
// and it becomes RF64 only when it outgrows the 4 GiB of a WAV file.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio_device.h"

namespace fw {

struct VirtualCardOptions {
  enum class Pacing { RealTime, Fast, Manual };
  std::string inputFile;            // any sound file libsndfile reads; mixed to mono
  std::vector<float> inputSamples;  // used when inputFile is empty (full scale 1.0)
  bool loop = true;
  std::string outputFile;   // stereo WAV at the card's rate; empty = none
  bool keepOutput = false;  // keep what was played in memory
  Pacing pacing = Pacing::RealTime;
  int rate = 0;  // 0: the input file's rate (limited to kMinRate .. kMaxRate), else 44100
  int period = 128;
  int outputDevices = 1;  // 0: a card without an output device
  // The card stops after this many seconds of audio heard by a capturing client
  // (0: no limit); it then counts as finished.
  double secondsLimit = 0.0;
};

class VirtualSoundCard final : public AudioDevice {
 public:
  static constexpr int kMaxPeriod = 8192;
  static constexpr int kMinRate = 8000;
  static constexpr int kMaxRate = 192000;

  explicit VirtualSoundCard(VirtualCardOptions options);
  ~VirtualSoundCard() override;

  // Opens the input file; false with a message when it cannot. A rate outside
  // kMinRate .. kMaxRate is limited, with a note on stderr.
  bool Load(std::string& error);
  // Creates the output file now instead of at the first Start, so that a file that
  // cannot be written is named before anything plays; false with the file and reason.
  bool OpenOutput(std::string& error);

  std::string BackendName() const override { return "virtual"; }
  std::vector<std::string> OutputDevices() override;
  void SelectOutputDevice(int index) override { selected_ = index; }
  std::string InputProductName() override { return "Virtual sound card"; }
  bool Start(AudioDeviceClient& client, int preferredRate, std::string& error) override;
  void Stop() override;
  bool Running() const override { return running_.load(); }
  int SampleRate() const override { return rate_; }
  int PeriodFrames() const override { return period_.load(); }

  // Manual pacing: runs one period on the calling thread.
  void Pump();
  // The next periods have this length; the client hears of it between two periods.
  void SetPeriod(int frames);
  // The input has been played once (never true when looping), or the seconds limit
  // has been reached.
  bool InputFinished() const { return finished_.load(); }
  std::int64_t FramesRun() const { return framesRun_.load(); }
  // The card frame whose period first played input instead of holding it for a client
  // that was not capturing yet; -1 before then. Input frame k plays at this frame + k.
  std::int64_t InputBeganAt() const { return inputBeganAt_.load(); }
  std::int32_t Starts() const { return starts_; }

  // What was played, when keepOutput is set (read after Stop).
  std::vector<float> playedLeft;
  std::vector<float> playedRight;

 private:
  // True when the client was capturing.
  bool RunPeriod();
  void Thread();
  void CloseOutput();
  // Fill in_[0 .. n-1] from the input; true when its end was reached.
  bool ReadMemoryInput(int n);
  bool ReadFileInput(int n);
  // A write of the output file failed: the card stops, and the client hears why.
  void ReportWriteFailure(const char* reason);

  VirtualCardOptions options_;
  std::vector<float> input_;  // options_.inputSamples
  std::size_t inputPos_ = 0;
  void* inputFile_ = nullptr;  // SNDFILE*, read as the card plays
  int inputChannels_ = 1;
  std::int64_t inputFrames_ = 0;  // as the header says; a read may end sooner
  std::int64_t inputRead_ = 0;
  std::vector<float> inputChunk_;
  int rate_ = 44100;
  int selected_ = 0;
  std::atomic<int> period_{128};
  int announcedPeriod_ = 128;
  AudioDeviceClient* client_ = nullptr;
  std::atomic<bool> running_{false};
  std::atomic<bool> stop_{false};
  std::atomic<bool> pumping_{false};  // a manual Pump is inside RunPeriod
  std::atomic<bool> finished_{false};
  std::atomic<bool> writeFailed_{false};
  std::string writeFailure_;
  std::atomic<std::int64_t> framesRun_{0};
  std::atomic<std::int64_t> inputBeganAt_{-1};
  std::int64_t framesHeard_ = 0;  // frames run while the client captured
  std::int32_t starts_ = 0;
  std::thread thread_;
  void* file_ = nullptr;  // SNDFILE* of the output, from the first Start on
  std::vector<float> in_, left_, right_, interleaved_;
};

}  // namespace fw
