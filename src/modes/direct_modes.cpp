#include "modes/direct_modes.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>

#include "audio/kernel_services.h"
#include "audio/legacy/driver_codes.h"
#include "audio/multimedia_timer.h"
#include "modes/ring_edge.h"

namespace fw {
namespace {

// The PC's high-resolution counter runs at 1,193,182 ticks a second.
std::int64_t CounterTicks() {
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                      std::chrono::steady_clock::now().time_since_epoch())
                      .count();
  return static_cast<std::int64_t>(static_cast<double>(ns) * 1.193182e-3);
}

std::int16_t Watch(const std::int16_t& sample) {
  return std::atomic_ref<const std::int16_t>(sample).load(std::memory_order_acquire);
}

WaveFormat Pcm(std::uint32_t rate) {
  WaveFormat f;
  f.samplesPerSec = rate;
  f.avgBytesPerSec = rate * 2;
  return f;
}

int RandomUpTo49(std::minstd_rand& random) { return static_cast<int>(random() % 50); }

}  // namespace

DirectModes::DirectModes(ModeHost& host, std::string& hardwareReport)
    : host_(host),
      report_(hardwareReport),
      probe_(std::make_unique<std::int16_t[]>(kProbeSamples)),
      keeper_(std::make_unique<std::int16_t[]>(kKeeperBytes / 2)) {}

DirectModes::~DirectModes() {
  stop.store(1);
  if (timerId != 0 && Timer() != nullptr) Timer()->timeKillEvent(timerId);
}

KernelServices* DirectModes::Kernel() const { return host_.Devices().kernel; }
MultimediaTimer* DirectModes::Timer() const { return host_.Devices().timer; }
WaveInput* DirectModes::In() const { return host_.Devices().waveIn; }
WaveOutput* DirectModes::Outp() const { return host_.Devices().waveOut; }
OutputLibrary* DirectModes::Library() const { return host_.Devices().output; }

void DirectModes::Show(const char* message) { host_.ShowMessage(message); }

bool DirectModes::Fatal(const char* message) {
  ended = true;
  host_.ShowMessage(message);
  host_.EndProgramNow();
  return false;
}

bool DirectModes::GiveUp() {
  if (!cancelled && host_.StartCancelled()) cancelled = true;
  return cancelled;
}

void DirectModes::ClearTickFlags() noexcept {
  busy.store(0);
  stop.store(0);
}

void DirectModes::SetBlockProcessor(BlockProcessor processor, void* context) noexcept {
  processorContext_.store(context);
  processor_.store(processor);
}

void DirectModes::Process() noexcept {
  const BlockProcessor processor = processor_.load();
  if (processor != nullptr) processor(processorContext_.load(), blockLength, block);
  blocksProcessed.fetch_add(1, std::memory_order_relaxed);
}

// The input fill probe: how many samples the input driver delivers in its first
// transfer.
int DirectModes::InputFillProbe(int k) {
  WaveInput* input = In();
  const WaveFormat format = Pcm(static_cast<std::uint32_t>(22050 * k));
  if (input == nullptr || input->Open(kWaveMapper, format, {}, 0, 0) != MMSYSERR_NOERROR) {
    Fatal("Can not open input wav device.");
    return fillCount = 0;
  }
  std::int16_t* samples = probe_.get();
  std::fill(samples, samples + kProbeSamples, legacy::kSentinel);
  probeHeader_ = WaveInHeader{};
  probeHeader_.data = samples;
  probeHeader_.bufferLength = 59737;
  input->PrepareHeader(&probeHeader_, kWaveHeaderSize);
  input->AddBuffer(&probeHeader_, kWaveHeaderSize);
  input->Start();
  const std::int64_t begin = CounterTicks();
  int result = 6000;
  bool timedOut = false;
  while (Watch(samples[0]) == legacy::kSentinel) {
    if (CounterTicks() - begin > 1000000) {
      timedOut = true;
      break;
    }
    std::this_thread::yield();
  }
  if (timedOut) {
    Show("Time out in my wave.");
    result = 5000;
  } else {
    for (int i = 0; i < kProbeSamples; ++i) {
      if (Watch(samples[i]) == legacy::kSentinel) {
        result = i;
        break;
      }
    }
  }
  if (input->Stop() != MMSYSERR_NOERROR) Show("Can not Stop");
  if (input->Reset() != MMSYSERR_NOERROR) Show("Can not Reset");
  if (input->UnprepareHeader(&probeHeader_, kWaveHeaderSize) != MMSYSERR_NOERROR) Show("Can not Unprepare");
  if (input->Close() != MMSYSERR_NOERROR) Show("Can not Close");
  return fillCount = result;
}

bool DirectModes::OpenPortDriver() {
  KernelServices* kernel = Kernel();
  if (port == -1 || kernel == nullptr) {
    port = kernel != nullptr
               ? kernel->CreateFileA(legacy::kPortDriverName, 0, 0, 0, FILE_FLAG_DELETE_ON_CLOSE)
               : -1;
    if (port == -1) return Fatal("Can not open praxio.dat");
  }
  std::int32_t unused = 0;
  kernel->DeviceIoControl(port, legacy::kPortMapRegions, &unused, 4, regions, sizeof regions);
  for (std::int32_t region : regions) {
    if (region == -1) {
      const std::string text =
          "Mem alloc error:" + std::to_string(region) + " Restart Windows and try again.";
      return Fatal(text.c_str());
    }
  }
  return true;
}

std::int32_t DirectModes::ReadPort(int portNumber) const {
  std::int32_t in32 = portNumber & 0xFFFF;
  std::int32_t out32 = 0;
  if (Kernel() != nullptr) Kernel()->DeviceIoControl(port, legacy::kPortReadPort, &in32, 4, &out32, 4);
  return out32;
}

std::int32_t DirectModes::Position(int channel, std::int32_t start) const {
  const std::int32_t v = ReadPort(legacy::DmaAddressPort(channel)) & 0xFFFF;
  return channel >= 5 ? v - start : v / 2 - start / 2;
}

// Reads every channel's register until `watched` is done; the last channel seen
// moving (the highest-numbered) is returned, 1112 when none moved.
int DirectModes::ScanChannels(const WaveInHeader& watched, int skip) {
  int found = 1112;
  while (!HeaderDone(watched)) {
    if (GiveUp()) return 1112;
    for (int ch = 0; ch < legacy::kDmaChannels; ++ch) {
      if (!legacy::DmaChannelUsable(ch) || ch == skip) continue;
      for (int r = 0; r < 40001; ++r) {
        const std::int32_t v = ReadPort(legacy::DmaAddressPort(ch)) & 0xFFFF;
        lowest[ch] = std::min(lowest[ch], v);
        highest[ch] = std::max(highest[ch], v);
      }
      if (lowest[ch] != highest[ch]) {
        active[ch] = true;
        found = ch;
      }
    }
  }
  return found;
}

void DirectModes::MeasureRing(const WaveInHeader* headers, Direction& d) {
  std::vector<std::int32_t> lows, highs;
  lows.reserve(1001);
  highs.reserve(1001);
  std::int32_t low = 370000, high = 0;
  int h = 30;
  for (std::uint32_t reads = 1; !HeaderDone(headers[200]); ++reads) {
    if (reads % 1024 == 0 && GiveUp()) return;
    if (h <= 200 && HeaderDone(headers[h])) {
      lows.push_back(low);
      highs.push_back(high);
      high = 0;
      h += 3;
    }
    const std::int32_t v = ReadPort(legacy::DmaAddressPort(d.channel)) & 0xFFFF;
    if (low >= 0 && v < low) low = v;
    if (high < v) high = v;
  }
  if (lows.empty()) {
    lows.push_back(low);
    highs.push_back(high);
  }
  RingEdge(lows, false, d.start, d.startShare);
  RingEdge(highs, true, d.end, d.endShare);
  d.page = (ReadPort(legacy::DmaPagePort(d.channel)) >> 8) & 0xFF;
}

int DirectModes::DetectAndStartDma() {
  std::string& report = report_;
  WaveInput* input = In();
  WaveOutput* output = Outp();
  WaveInCaps caps;
  report = input != nullptr && input->GetDevCaps(0, &caps) == MMSYSERR_NOERROR
               ? std::string(caps.productName, strnlen(caps.productName, WaveInCaps::kNameLength))
               : std::string();
  std::fill(std::begin(active), std::end(active), false);
  const WaveFormat format = Pcm(22050);
  if (input == nullptr || input->Open(kWaveMapper, format, {}, 0, 0) != MMSYSERR_NOERROR)
    return Fatal("Can not open input wav device in test procedure."), 0;
  for (auto& h : inHeaders_) {
    h = WaveInHeader{};
    h.data = detectIn_;
    h.bufferLength = 3000;
    if (input->PrepareHeader(&h, kWaveHeaderSize) != MMSYSERR_NOERROR) return Fatal("Can not in Prepare"), 0;
    if (input->AddBuffer(&h, kWaveHeaderSize) != MMSYSERR_NOERROR) return Fatal("Can not in Add"), 0;
  }
  if (output == nullptr || output->Open(kWaveMapper, format) != MMSYSERR_NOERROR) {
    Fatal(
        "Can not open Output wav device in test procedure, but Input was opened. May be, you have no "
        "fullduplex "
        "sound card.");
    input->Close();
    return 0;
  }
  if (output->Reset() != MMSYSERR_NOERROR) Show("Can not reset Output wav device in test.");
  if (output->Pause() != MMSYSERR_NOERROR) Show("Can not Out pause in test");
  std::minstd_rand random(12345);
  for (int i = 0; i < 1560; ++i) detectOut_[i] = static_cast<std::int16_t>(RandomUpTo49(random));
  for (int i = 0; i < kHeaders; ++i) {
    WaveOutHeader& h = outHeaders_[i];
    h = WaveOutHeader{};
    h.data = detectOut_;
    h.bufferLength = 3118;
    h.user = static_cast<std::uintptr_t>(i);
    if (output->PrepareHeader(&h, kWaveHeaderSize) != MMSYSERR_NOERROR)
      return Fatal("Can not Out Prepare"), 0;
    if (output->Write(&h, kWaveHeaderSize) != MMSYSERR_NOERROR) return Fatal("Can not Out write"), 0;
  }
  if (!OpenPortDriver()) return 0;
  if (output->Restart() != MMSYSERR_NOERROR) {
    Show("Can not Out restart");
    host_.RequestTerminate();
  }

  int result = 0;
  out.channel = ScanChannels(outHeaders_[25], -1);
  if (out.channel != 1112) {
    MeasureRing(outHeaders_, out);
    for (int ch = 0; ch < 8; ++ch) active[ch] = ch == out.channel;
    if (input->Start() != MMSYSERR_NOERROR) Show("Can not wav input Start in test");
    in.channel = ScanChannels(inHeaders_[25], out.channel);
    if (in.channel != 1112) {
      MeasureRing(inHeaders_, in);
      for (Direction* d : {&in, &out}) {
        const std::int64_t x = std::int64_t{d->page} * 65536;
        const std::int64_t f = d->channel >= 5 ? 2 : 1;
        d->ringOffset = static_cast<std::int32_t>((x + d->start * f - 1000000) / 4);
        d->ringLength = d->channel >= 5 ? d->end - d->start + 1 : (d->end - d->start) / 2 + 1;
      }
      result = 1;
    }
  }
  if (cancelled) result = 0;

  if (input->Reset() != MMSYSERR_NOERROR) Show("Can not waveInReset wave-no-ds lib.");
  std::int32_t last = 0;
  for (auto& h : inHeaders_) last = input->UnprepareHeader(&h, kWaveHeaderSize);
  if (last != MMSYSERR_NOERROR) Show("Can not in UnPrepare in wave-no-ds lib.");
  if (result == 0 && input->Close() != MMSYSERR_NOERROR) Show("Can not wavInClose in wav-no-ds lib");
  if (output->Reset() != MMSYSERR_NOERROR) Show("Can not waveOutReset wave-no-ds lib.");
  for (auto& h : outHeaders_) last = output->UnprepareHeader(&h, kWaveHeaderSize);
  if (last != MMSYSERR_NOERROR) Show("Can not wavOutUnPrepare in p_no_ds test.");
  if (output->BreakLoop() != MMSYSERR_NOERROR) Show("Can not reset out in p_no_ds test.");
  if (output->Reset() != MMSYSERR_NOERROR) Show("Can not reset out in p_no_ds test.");
  if (output->Close() != MMSYSERR_NOERROR) Show("Can not close out in p_no_ds test.");
  if (Kernel() != nullptr) Kernel()->CloseHandle(port);
  port = -1;

  auto n = [](std::int32_t v) { return std::to_string(v); };
  report += " d:" + n(in.channel) + "," + n(out.channel) + " p:" + n(in.page) + "," + n(out.page) +
            " i:" + n(in.start) + "(" + n(in.startShare) + ")," + n(in.end) + "(" + n(in.endShare) + ")" +
            " o:" + n(out.start) + "(" + n(out.startShare) + ")," + n(out.end) + "(" + n(out.endShare) + ")" +
            " :" + n(in.ringLength) + "," + n(out.ringLength);
  if (result != 1) return 0;

  // DMA-direct start.
  if (!OpenPortDriver()) return 0;
  capacity = in.ringLength;
  inputRing = static_cast<std::uint32_t>(regions[0] + 4 * in.ringOffset);
  outputRing = static_cast<std::uint32_t>(regions[0] + 4 * out.ringOffset);
  a = 0;
  b = 184;
  ClearTickFlags();
  SetUpTimer(2, true);
  if (output->Open(kWaveMapper, format) != MMSYSERR_NOERROR) {
    Fatal("Can not open Output wav device.");
    input->Close();
    return 0;
  }
  if (output->Reset() != MMSYSERR_NOERROR) Show("Can not reset Output wav device.");
  if (output->Pause() != MMSYSERR_NOERROR) Show("Can not Out pause");
  std::int16_t* keeper = probe_.get();
  for (int i = 0; i < 1560; ++i) keeper[i] = static_cast<std::int16_t>(RandomUpTo49(random));
  WaveOutHeader& h = outHeaders_[0];
  h = WaveOutHeader{};
  h.data = keeper;
  h.bufferLength = 31180;
  h.flags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
  h.loops = 60000;
  if (output->PrepareHeader(&h, kWaveHeaderSize) != MMSYSERR_NOERROR) Show("Can not Out Prepare");
  if (output->Write(&h, kWaveHeaderSize) != MMSYSERR_NOERROR) Show("Can not Out write");
  if (output->Restart() != MMSYSERR_NOERROR) Show("Can not Out reset");
  InputKeeper();
  return 1;
}

void DirectModes::InputKeeper() {
  WaveInput* input = In();
  for (int i = 0; i < kKeeperHeaders; ++i) {
    WaveInHeader& h = inHeaders_[i];
    h = WaveInHeader{};
    h.data = keeper_.get();
    h.bufferLength = kKeeperBytes;
    if (input->PrepareHeader(&h, kWaveHeaderSize) != MMSYSERR_NOERROR) break;
    input->AddBuffer(&h, kWaveHeaderSize);
  }
  if (input->Start() != MMSYSERR_NOERROR) Fatal("Cant in start");
}

void DirectModes::SetUpTimer(std::uint32_t resolution, bool dmaDirect) {
  MultimediaTimer* timer = Timer();
  if (timer == nullptr) return;
  TimeCaps caps;
  timer->timeGetDevCaps(&caps);
  timerPeriod = std::min(caps.periodMax, std::max<std::uint32_t>(1, caps.periodMin));
  timer->timeBeginPeriod(timerPeriod);
  timerId = timer->timeSetEvent(2, resolution, dmaDirect ? &DmaDirectTick : &CommonBufferTick, this,
                                kUserWord, TIME_PERIODIC);
}

void DirectModes::DmaDirectTick(void* self, std::uint32_t id, std::uintptr_t user) noexcept {
  (void)user;
  auto& m = *static_cast<DirectModes*>(self);
  if (m.stop.load() == 1) {
    m.Timer()->timeKillEvent(id);
    return;
  }
  if (m.busy.load() != 0) return;
  m.busy.store(1);
  std::int32_t expected = 0;
  m.stop.compare_exchange_strong(expected, 2);
  const std::int32_t p = m.Position(m.in.channel, m.in.start);
  const bool inside = m.a < m.b ? (p > m.a && p < m.b) : (p > m.a || p < m.b);
  if (inside) ++m.inWindow;
  if (m.inWindow > 1 && m.capacity > 0) {
    m.inWindow = 0;
    KernelServices& kernel = *m.Kernel();
    for (std::int32_t i = 0; i < m.blockLength; ++i) {
      const std::int32_t at = (m.lastBlockStart + i) % m.capacity;
      m.block[i] = kernel.LoadSample(m.inputRing + 2 * static_cast<std::uint32_t>(at));
    }
    m.lastBlockStart = m.a;
    m.Process();
    m.KeepLatency();
    m.a = (m.a + m.blockLength) % m.capacity;
    m.b = (m.a + m.blockLength) % m.capacity;
  }
  m.busy.store(0);
}

// Writes the block ahead of the playback position and holds that lead near 307.
void DirectModes::KeepLatency() noexcept {
  KernelServices& kernel = *Kernel();
  for (std::int32_t i = 0; i < blockLength; ++i) {
    writePosition = writePosition + 1 >= capacity ? 0 : writePosition + 1;
    kernel.StoreSample(outputRing + 2 * static_cast<std::uint32_t>(writePosition), block[i]);
  }
  const std::int32_t p = Position(out.channel, out.start);
  std::int32_t distance = writePosition - p;
  if (distance <= 0) distance += capacity;
  smoothed = 0.05f * static_cast<float>(distance) + 0.95f * smoothed;
  if (smoothed >= 290.0f && smoothed <= 324.0f) {
    lowCount = 0;
    highCount = 0;
  } else if (smoothed < 290.0f) {
    ++lowCount;
  } else {
    ++highCount;
  }
  if (lowCount > 3) {
    lowCount = 0;
    writePosition += static_cast<std::int32_t>(std::lround(0.1f * (307.0f - smoothed)));
  }
  if (highCount > 3) {
    highCount = 0;
    writePosition -= static_cast<std::int32_t>(std::lround(0.1f * (smoothed - 307.0f)));
  }
  writePosition %= capacity;
  if (writePosition < 0) writePosition += capacity;
}

// Both direct modes stop the same way first: the tick, then the capture.
void DirectModes::StopTickAndCapture() {
  stop.store(1);
  if (Timer() != nullptr) {
    Timer()->timeKillEvent(timerId);
    Timer()->timeEndPeriod(timerPeriod);
  }
  timerId = 0;
  if (WaveInput* input = In()) {
    input->Stop();
    input->Reset();
    for (auto& h : inHeaders_) input->UnprepareHeader(&h, kWaveHeaderSize);
    input->Close();
  }
}

void DirectModes::StopDmaDirect() {
  StopTickAndCapture();
  if (WaveOutput* output = Outp()) {
    if (output->Pause() != MMSYSERR_NOERROR) Show("Can not pase out");
    if (output->BreakLoop() != MMSYSERR_NOERROR) Show("Can not break out loop");
    if (output->Reset() != MMSYSERR_NOERROR) Show("Can not reset out");
    std::int32_t last = 0;
    for (auto& h : outHeaders_) last = output->UnprepareHeader(&h, kWaveHeaderSize);
    if (last != MMSYSERR_NOERROR) Show("Can not unprepare out");
    if (output->Close() != MMSYSERR_NOERROR) Show("Can not Close out");
  }
}

}  // namespace fw
