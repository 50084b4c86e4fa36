#include "audio/legacy/legacy_pc.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include "audio/realtime_shared.h"

namespace fw {
namespace {

constexpr std::uintmax_t kTivraSize = 20274;
constexpr std::uint32_t kEventHandleBase = 0xC0DE0000u;

// A file the sandbox needs, written only when missing so that what the program
// (or the user) changed there stays. False when it cannot be written.
bool WriteIfMissing(const std::filesystem::path& path, const std::string& content) {
  std::error_code error;
  if (std::filesystem::exists(path, error)) return true;
  std::ofstream file(path, std::ios::binary);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
  file.close();
  return !file.fail();
}

std::int32_t InWord(const void* in, std::uint32_t inSize, int index) {
  std::int32_t v = 0;
  if (in != nullptr && inSize >= static_cast<std::uint32_t>(4 * (index + 1))) {
    std::memcpy(&v, static_cast<const char*>(in) + 4 * index, 4);
  }
  return v;
}

void PutWord(void* out, std::uint32_t outSize, int index, std::int32_t v) {
  if (out != nullptr && outSize >= static_cast<std::uint32_t>(4 * (index + 1))) {
    std::memcpy(static_cast<char*>(out) + 4 * index, &v, 4);
  }
}

}  // namespace

LegacyPc::LegacyPc(LegacyPcOptions options, LiveAudio& analogue) : memory_(options.installedMemory) {
  card_ = std::make_unique<LegacySoundCard>(options.card, memory_, dma_, analogue);
  card_->SetSmoothRegisters(options.smoothRegisters);
  std::string data = options.dataDirectory;
  while (data.size() > 1 && data.back() == '/') data.pop_back();
  windows_ = data + "/legacy-pc/WINDOWS";
  MakeSandbox();
}

LegacyPc::~LegacyPc() { card_->StopBlocks(); }

void LegacyPc::MakeSandbox() {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(fs::path(SystemDirectory()), error);
  if (error) {
    sandboxError_ = "Can not create " + SystemDirectory() + ": " + error.message();
    return;
  }
  const bool written =
      WriteIfMissing(fs::path(windows_) / "system.ini",
                     "[boot]\nshell=Explorer.exe\n\n[386Enh]\ndevice=*vpicd\ndevice=*vdmad\n\n[drivers]"
                     "\nwave=sb16.drv\n") &&
      WriteIfMissing(fs::path(SystemDirectory()) / "tivra.vxd", std::string(kTivraSize, '\0')) &&
      WriteIfMissing(fs::path(SystemDirectory()) / "mokel.vxd", std::string(4096, '\0'));
  if (!written) sandboxError_ = "Can not write the simulated Windows directory " + windows_;
}

bool LegacyPc::Ready(std::string& error) const {
  if (!memory_.Mapped()) {
    error = "Can not map the simulated PC's physical memory";
    return false;
  }
  if (!sandboxError_.empty()) {
    error = sandboxError_;
    return false;
  }
  return true;
}

void LegacyPc::ShareRealtimeBlock(RealtimeShared* shared, const IntWord* blockLength) {
  if (shared == nullptr) card_->StopBlocks();
  shared_ = shared;
  blockLength_ = blockLength;
}

// The realtime drivers load once Windows has read the driver line at boot; this PC
// reads "system.ini" at every open instead, so no restart is needed.
bool LegacyPc::RealtimeDriverInstalled() const {
  std::ifstream ini(windows_ + "/system.ini");
  std::string line;
  while (std::getline(ini, line)) {
    if (line.rfind(legacy::kDriverLine, 0) == 0) return true;
  }
  return false;
}

std::intptr_t LegacyPc::CreateFileA(const std::string& name, std::uint32_t access, std::uint32_t share,
                                    std::uint32_t disposition, std::uint32_t flags) {
  (void)access, (void)share, (void)disposition, (void)flags;
  Device device = Device::None;
  if (name == legacy::kPortDriverName) {
    device = Device::Port;
  } else if ((name == legacy::kTivraName || name == legacy::kDunvelName) && RealtimeDriverInstalled()) {
    device = name == legacy::kTivraName ? Device::Tivra : Device::Dunvel;
  }
  if (device == Device::None) return kInvalidHandle;
  for (int h = 1; h < kHandles; ++h) {
    if (handles_[h] != Device::None) continue;
    handles_[h] = device;
    return h;
  }
  return kInvalidHandle;
}

void LegacyPc::CloseHandle(std::intptr_t handle) {
  if (handle <= 0 || handle >= kHandles) return;
  if (handles_[handle] == Device::Tivra || handles_[handle] == Device::Dunvel) card_->StopBlocks();
  handles_[handle] = Device::None;
}

bool LegacyPc::DeviceIoControl(std::intptr_t handle, std::uint32_t code, const void* in, std::uint32_t inSize,
                               void* out, std::uint32_t outSize) {
  if (handle <= 0 || handle >= kHandles) return false;
  const Device device = handles_[handle];
  if (device == Device::Port) return PortRequest(code, in, inSize, out, outSize);
  if (device == Device::Tivra || device == Device::Dunvel)
    return DriverRequest(device, code, in, inSize, out, outSize);
  return false;
}

bool LegacyPc::PortRequest(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                           std::uint32_t outSize) {
  switch (code) {
    case legacy::kPortMapRegions:
      for (int j = 0; j < PhysicalMemory::kRegions; ++j) {
        PutWord(out, outSize, j,
                memory_.Mapped() ? static_cast<std::int32_t>(PhysicalMemory::RegionAddress(j)) : -1);
      }
      return true;
    case legacy::kPortReadPort:
      PutWord(out, outSize, 0, static_cast<std::int32_t>(dma_.ReadPort(InWord(in, inSize, 0) & 0xFFFF)));
      if (portReadHook_) portReadHook_();
      return true;
    case legacy::kPortArmSentinel: {
      const auto a = static_cast<std::uint32_t>(InWord(in, inSize, 0));
      for (std::uint32_t k = 0; k < 3; ++k) memory_.StoreSample(a + 2 * k, legacy::kSentinel);
      return true;
    }
    default:
      return false;
  }
}

std::uint32_t LegacyPc::OpenVxDHandle(RealtimeEvent* event) {
  for (int k = 0; k < kEvents; ++k) {
    if (events_[k] == event) return kEventHandleBase + static_cast<std::uint32_t>(k);
    if (events_[k] == nullptr) {
      events_[k] = event;
      return kEventHandleBase + static_cast<std::uint32_t>(k);
    }
  }
  return 0;
}

RealtimeEvent* LegacyPc::EventOf(std::uint32_t handle) const {
  const std::uint32_t k = handle - kEventHandleBase;
  return k < kEvents ? events_[k] : nullptr;
}

// tivra.vxd ("Very Old Creative") leaves the thread to spin on the ready word;
// dunvel.dll ("AWE32/64") also signals the event named by request 5.
bool LegacyPc::DriverRequest(Device device, std::uint32_t code, const void* in, std::uint32_t inSize,
                             void* out, std::uint32_t outSize) {
  switch (code) {
    case legacy::kDriverEvent:
      driverEvent_ = EventOf(static_cast<std::uint32_t>(InWord(in, inSize, 0)));
      return true;
    case legacy::kDriverSetup:
      // Words 2 and 3 name the shared block and the ready word; the program reaches
      // them through the engine, so they are tokens here.
      PutWord(out, outSize, 2, 0x00A00000);
      PutWord(out, outSize, 3, 0x00A00200);
      return shared_ != nullptr;
    case legacy::kDriverStart: {
      if (shared_ == nullptr) return false;
      const bool stereo = blockLength_ == nullptr || blockLength_->load() != 256;
      return card_->StartBlocks(*shared_, device == Device::Dunvel ? driverEvent_ : nullptr,
                                stereo ? 128 : 256, stereo, stereo ? 22050 : 44100);
    }
    case legacy::kDriverRelease:
      card_->StopBlocks();
      return true;
    default:
      return false;
  }
}

}  // namespace fw
