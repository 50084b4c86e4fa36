// Common-buffer mode: the capture driver's own buffer, found in memory by a
// snapshot of just-captured samples, read on a 2 ms tick; the blocks go to the
// output library.
#include <algorithm>
#include <chrono>
#include <thread>

#include "audio/kernel_services.h"
#include "audio/legacy/driver_codes.h"
#include "audio/multimedia_timer.h"
#include "audio/output_library.h"
#include "modes/direct_modes.h"

namespace fw {
namespace {
constexpr std::uint32_t kRegionBytes = 55331648;
constexpr std::uint32_t kRegionWords = 13832908;
}  // namespace

void DirectModes::SearchCallback(void* self, std::uintptr_t, std::uint32_t message, std::uintptr_t,
                                 WaveInHeader* header, std::uintptr_t) noexcept {
  auto& m = *static_cast<DirectModes*>(self);
  if (message != MM_WIM_DATA || header == nullptr || !m.collecting_.load()) return;
  const auto number = static_cast<std::int32_t>(header->user);
  auto* words = reinterpret_cast<std::int32_t*>(m.searchBuffer_.data() +
                                                static_cast<std::ptrdiff_t>(number) * m.fillCount);
  const int h = m.fillCount / 2;
  // The program's own copy is overwritten so the search cannot find it.
  for (int i = 0; i < 6; ++i) {
    m.snapshot_[i].store(words[h - 6 + i]);
    words[h - 6 + i] = 11112;
  }
  m.parity_.store(number % 2);
  m.snapshotCount_.fetch_add(1);
}

bool DirectModes::FindBuffer(const std::int32_t snapshot[6], int parity, int fill, int& region,
                             std::int32_t& offset) const {
  KernelServices& kernel = *Kernel();
  const auto last =
      static_cast<int>(std::min<std::uint64_t>(kernel.TotalPhysicalMemory() / kRegionBytes + 1, 11));
  const std::int32_t h = fill / 2;
  for (int j = 0; j <= last; ++j) {
    const auto base = static_cast<std::uint32_t>(regions[j]);
    for (std::uint32_t i = 0; i < kRegionWords; ++i) {
      if (kernel.LoadWord(base + 4 * i) != snapshot[0]) continue;
      bool match = true;
      for (std::uint32_t w = 1; w < 5 && match; ++w)
        match = kernel.LoadWord(base + 4 * (i + w)) == snapshot[w];
      if (!match) continue;
      region = j;
      offset = static_cast<std::int32_t>(i) + 6 - h * (1 + parity);
      return true;
    }
  }
  return false;
}

// Spins until the first snapshot; false when none came within the search's wait or
// the host gave the start up.
bool DirectModes::WaitForSnapshot() {
  const auto giveUpAt = std::chrono::steady_clock::now() + searchWait;
  while (snapshotCount_.load() == 0) {
    if (std::chrono::steady_clock::now() > giveUpAt || GiveUp()) return false;
    std::this_thread::yield();
  }
  return true;
}

void DirectModes::StartCommonBuffer(int k) {
  ClearTickFlags();
  if (!OpenPortDriver()) return;
  OutputLibrary* library = Library();
  if (library != nullptr) library->WinMain1(0);
  rateMultiplier = k;
  blockLength = 184 * k;
  if (library != nullptr) {
    library->setup_b_size(184 * k);
    library->setup_delta_delta(50);
  }
  const int fill = InputFillProbe(k);
  if (fill <= 0) return;

  // The buffer search.
  WaveInput* input = In();
  snapshotCount_.store(0);
  collecting_.store(true);
  searchBuffer_.assign(static_cast<std::size_t>(144) * static_cast<std::size_t>(fill) + 12, 0);
  searchHeaders_.assign(144, WaveInHeader{});
  const WaveFormat format = [k] {
    WaveFormat f;
    f.samplesPerSec = static_cast<std::uint32_t>(22050 * k);
    f.avgBytesPerSec = f.samplesPerSec * 2;
    return f;
  }();
  if (input->Open(kWaveMapper, format, {&SearchCallback, this}, 0, kCallbackFunction) != MMSYSERR_NOERROR) {
    Fatal("Can not open input wav device.");
    return;
  }
  std::int32_t added = MMSYSERR_NOERROR;
  for (int i = 0; i < 144; ++i) {
    WaveInHeader& h = searchHeaders_[static_cast<std::size_t>(i)];
    h.data = searchBuffer_.data() + static_cast<std::ptrdiff_t>(i) * fill;
    h.bufferLength = static_cast<std::uint32_t>(2 * fill);
    h.user = static_cast<std::uintptr_t>(i);
    input->PrepareHeader(&h, kWaveHeaderSize);
    added = input->AddBuffer(&h, kWaveHeaderSize);
  }
  if (added != MMSYSERR_NOERROR) Show("Can not Add");
  if (input->Start() != MMSYSERR_NOERROR) Show("Can not Start");
  const bool arrived = WaitForSnapshot();
  int region = 0;
  std::int32_t offset = 0;
  bool found = false;
  if (arrived) {
    // One snapshot and its parity for the whole search, though the callback goes on.
    std::int32_t snapshot[6];
    int parity = 0;
    for (;;) {
      const std::int32_t count = snapshotCount_.load();
      for (int i = 0; i < 6; ++i) snapshot[i] = snapshot_[i].load();
      parity = parity_.load();
      if (snapshotCount_.load() == count) break;
    }
    found = FindBuffer(snapshot, parity, fill, region, offset);
  }
  collecting_.store(false);
  if (input->Stop() != MMSYSERR_NOERROR) Show("Can not In Stop");
  if (input->Reset() != MMSYSERR_NOERROR) Show("Can not In Reset");
  for (auto& h : searchHeaders_) input->UnprepareHeader(&h, kWaveHeaderSize);
  if (cancelled) {
    input->Close();
    return;
  }
  if (!found) {
    Fatal("Error 404. Contact with author.");
    return;
  }
  capacity = 2 * fill;
  inputRing = static_cast<std::uint32_t>(regions[region] + 4 * offset);
  SetUpTimer(1, false);
  InputKeeper();
}

void DirectModes::CommonBufferTick(void* self, std::uint32_t id, std::uintptr_t user) noexcept {
  (void)user;
  auto& m = *static_cast<DirectModes*>(self);
  if (m.stop.load() == 1) {
    m.Timer()->timeKillEvent(id);
    return;
  }
  KernelServices& kernel = *m.Kernel();
  auto at = [&m](std::int32_t position) { return m.inputRing + 2 * static_cast<std::uint32_t>(position); };
  if (kernel.LoadSample(at(m.sentinel[2])) == legacy::kSentinel || m.busy.load() != 0 || m.capacity <= 0)
    return;
  m.busy.store(1);
  for (std::int32_t i = 0; i < m.blockLength; ++i)
    m.block[i] = kernel.LoadSample(at((m.readPosition + i) % m.capacity));
  m.Process();
  if (m.stop.load() != 1) {
    if (OutputLibrary* library = m.Library()) library->out_to_dsound(m.block);
    for (std::int32_t i = 0; i < m.blockLength; ++i)
      kernel.StoreSample(at((m.readPosition + i) % m.capacity), 0);
    m.lastBlockStart = m.readPosition;
    m.readPosition = (m.readPosition + m.blockLength) % m.capacity;
    for (int s = 0; s < 3; ++s) m.sentinel[s] = (m.readPosition + m.blockLength + 8 + s) % m.capacity;
    std::int32_t address = static_cast<std::int32_t>(at(m.sentinel[0]));
    std::int32_t unused = 0;
    kernel.DeviceIoControl(m.port, legacy::kPortArmSentinel, &address, 4, &unused, 4);
  }
  // Cleared also when a Stop came during the block, so that the next start runs.
  m.busy.store(0);
}

void DirectModes::StopCommonBuffer() {
  StopTickAndCapture();
  if (OutputLibrary* library = Library()) library->CloseDSound();
}

}  // namespace fw
