#include "audio/linux/portaudio_device.h"

#include <fcntl.h>
#include <portaudio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace fw {
namespace {

int StreamCallback(const void* input, void* output, unsigned long frames,
                   const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags flags, void* self) {
  (void)time;
  auto* const* out = static_cast<float* const*>(output);
  const float* in = input != nullptr ? static_cast<const float* const*>(input)[0] : nullptr;
  static_cast<PortAudioDevice*>(self)->OnStream(in, out[0], out[1], static_cast<int>(frames),
                                                (flags & (paInputOverflow | paOutputUnderflow)) != 0);
  return paContinue;
}

void StreamFinished(void* self) { static_cast<PortAudioDevice*>(self)->OnFinished(); }

}  // namespace

PortAudioDevice::PortAudioDevice() {
  // ALSA reports every missing card on stderr while PortAudio looks for devices.
  std::fflush(stderr);
  const int savedStderr = dup(2);
  const int devNull = open("/dev/null", O_WRONLY);
  if (devNull >= 0) dup2(devNull, 2);
  initialised_ = Pa_Initialize() == paNoError;
  if (savedStderr >= 0) {
    dup2(savedStderr, 2);
    close(savedStderr);
  }
  if (devNull >= 0) close(devNull);
  if (initialised_) host_ = Pa_HostApiTypeIdToHostApiIndex(paALSA);
}

PortAudioDevice::~PortAudioDevice() {
  Stop();
  if (initialised_) Pa_Terminate();
}

std::vector<int> PortAudioDevice::OutputIndices() {
  std::vector<int> indices;
  if (!initialised_ || host_ < 0) return indices;
  const PaHostApiInfo* info = Pa_GetHostApiInfo(host_);
  if (info == nullptr) return indices;
  for (int i = 0; i < info->deviceCount; ++i) {
    const int device = Pa_HostApiDeviceIndexToDeviceIndex(host_, i);
    const PaDeviceInfo* d = Pa_GetDeviceInfo(device);
    if (d != nullptr && d->maxOutputChannels >= 1) indices.push_back(device);
  }
  // The host's default device first, as the user expects it at the top.
  const int preferred = info->defaultOutputDevice;
  const auto it = std::find(indices.begin(), indices.end(), preferred);
  if (it != indices.end()) std::rotate(indices.begin(), it, it + 1);
  return indices;
}

bool PortAudioDevice::Available() { return !OutputIndices().empty(); }

bool PortAudioDevice::HasCaptureDevice() {
  if (!initialised_ || host_ < 0) return false;
  const PaHostApiInfo* info = Pa_GetHostApiInfo(host_);
  const PaDeviceInfo* d = info != nullptr ? Pa_GetDeviceInfo(info->defaultInputDevice) : nullptr;
  return d != nullptr && d->maxInputChannels >= 1;
}

std::string PortAudioDevice::UnavailableReason() {
  if (!initialised_) return "ALSA: PortAudio could not be initialised";
  if (host_ < 0) return "ALSA: PortAudio was built without ALSA";
  return OutputIndices().empty() ? "ALSA: no output device" : "";
}

std::vector<std::string> PortAudioDevice::OutputDevices() {
  std::vector<std::string> names;
  for (int device : OutputIndices()) names.emplace_back(Pa_GetDeviceInfo(device)->name);
  return names;
}

std::string PortAudioDevice::InputProductName() {
  if (!initialised_ || host_ < 0) return "ALSA";
  const PaHostApiInfo* info = Pa_GetHostApiInfo(host_);
  const PaDeviceInfo* d = info != nullptr ? Pa_GetDeviceInfo(info->defaultInputDevice) : nullptr;
  return d != nullptr ? d->name : "ALSA";
}

bool PortAudioDevice::Start(AudioDeviceClient& client, int preferredRate, std::string& error) {
  if (stream_ != nullptr) return true;
  const auto outputs = OutputIndices();
  if (outputs.empty()) {
    error = "No ALSA output device.";
    return false;
  }
  const int outputDevice =
      outputs[static_cast<std::size_t>(std::clamp(selected_, 0, static_cast<int>(outputs.size()) - 1))];
  const PaHostApiInfo* info = Pa_GetHostApiInfo(host_);
  const int inputDevice = info->defaultInputDevice;

  PaStreamParameters out{};
  out.device = outputDevice;
  out.channelCount = 2;
  out.sampleFormat = paFloat32 | paNonInterleaved;
  out.suggestedLatency = Pa_GetDeviceInfo(outputDevice)->defaultLowOutputLatency;
  PaStreamParameters in{};
  const bool haveInput = inputDevice >= 0 && Pa_GetDeviceInfo(inputDevice) != nullptr &&
                         Pa_GetDeviceInfo(inputDevice)->maxInputChannels >= 1;
  if (haveInput) {
    in.device = inputDevice;
    in.channelCount = 1;
    in.sampleFormat = paFloat32 | paNonInterleaved;
    in.suggestedLatency = Pa_GetDeviceInfo(inputDevice)->defaultLowInputLatency;
  }
  client_ = &client;
  period_ = 128;
  for (int rate : {preferredRate, 48000, 44100}) {
    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, haveInput ? &in : nullptr, &out, rate, static_cast<unsigned long>(period_),
                      paNoFlag, &StreamCallback, this) == paNoError) {
      stream_ = stream;
      rate_ = rate;
      break;
    }
  }
  stopping_.store(false);
  if (stream_ != nullptr) Pa_SetStreamFinishedCallback(static_cast<PaStream*>(stream_), &StreamFinished);
  if (stream_ == nullptr || Pa_StartStream(static_cast<PaStream*>(stream_)) != paNoError) {
    if (stream_ != nullptr) Pa_CloseStream(static_cast<PaStream*>(stream_));
    stream_ = nullptr;
    client_ = nullptr;
    error = "Can not open the ALSA device.";
    return false;
  }
  // Without a sequencer the stream plays on, with no MIDI input.
  std::string noMidi;
  midi_.Start(client, "fretwerk", noMidi);
  return true;
}

void PortAudioDevice::Stop() {
  if (stream_ == nullptr) return;
  midi_.Stop();
  stopping_.store(true);
  Pa_StopStream(static_cast<PaStream*>(stream_));
  Pa_CloseStream(static_cast<PaStream*>(stream_));
  stream_ = nullptr;
  client_ = nullptr;
}

// PortAudio reports the stream's latencies in seconds, the card's buffering included.
int PortAudioDevice::ReportedLatencyFrames() const {
  if (stream_ == nullptr) return 0;
  const PaStreamInfo* info = Pa_GetStreamInfo(static_cast<PaStream*>(stream_));
  if (info == nullptr) return 0;
  return static_cast<int>((info->inputLatency + info->outputLatency) * info->sampleRate + 0.5);
}

void PortAudioDevice::OnFinished() noexcept {
  if (!stopping_.load() && client_ != nullptr) client_->DeviceLost("the ALSA stream stopped with an error");
}

void PortAudioDevice::OnStream(const float* input, float* left, float* right, int frames,
                               bool xrun) noexcept {
  if (xrun) client_->Xrun();
  for (int done = 0; done < frames;) {
    const int n = std::min(frames - done, 8192);
    client_->Process(input != nullptr ? input + done : silence_, left + done, right + done, n);
    done += n;
  }
}

}  // namespace fw
