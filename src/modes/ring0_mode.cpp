#include "modes/ring0_mode.h"

#include <cmath>

#include "audio/kernel_services.h"
#include "audio/legacy/driver_codes.h"
#include "audio/realtime_shared.h"
#include "core/polite_wait.h"
#include "engine/engine.h"

namespace fw {

Ring0Mode::Ring0Mode(ModeHost& host, Engine& engine, RealtimeShared& shared, bool ring0Drivers)
    : host_(host), engine_(engine), shared_(shared) {
  shared_.event = &event;
  KernelServices* kernel = host_.Devices().kernel;
  if (kernel != nullptr && ring0Drivers) {
    kernel->ShareRealtimeBlock(&shared_, &engine_.params.RealtimeBlockLength);
    eventHandle = kernel->OpenVxDHandle(&event);
  }
}

Ring0Mode::~Ring0Mode() {
  LeaveThread(10000.0f);
  ReleaseDriver();
  if (shared_.event == &event) shared_.event = nullptr;
  if (KernelServices* kernel = host_.Devices().kernel) kernel->ShareRealtimeBlock(nullptr, nullptr);
}

bool Ring0Mode::OpenDriver(std::int32_t cardType) {
  KernelServices* kernel = host_.Devices().kernel;
  if (driver == -1 && kernel != nullptr) {
    driver = kernel->CreateFileA(cardType == 0 ? legacy::kTivraName : legacy::kDunvelName, 0, 0, 1,
                                 FILE_FLAG_DELETE_ON_CLOSE);
  }
  return driver != -1;
}

void Ring0Mode::Start(int irq, int dma8, int dma16) {
  KernelServices& kernel = *host_.Devices().kernel;
  const auto handle = static_cast<std::int32_t>(eventHandle);
  std::int32_t out[5] = {};
  std::int32_t signal[5] = {handle, 0, 0, 0, 0};
  kernel.DeviceIoControl(driver, legacy::kDriverEvent, signal, sizeof signal, out, sizeof out);
  std::int32_t setup[5] = {irq, dma8, dma16, 0, 0};
  kernel.DeviceIoControl(driver, legacy::kDriverSetup, setup, sizeof setup, out, sizeof out);
  shared_.ready.store(0);
  shared_.SetSample(64, 0);
  std::int32_t go[5] = {handle, 0, 0, 0, irq};
  kernel.DeviceIoControl(driver, legacy::kDriverStart, go, sizeof go, out, sizeof out);
  shared_.ready.store(0);
  shared_.threadState.store(0);
  shared_.runFlag.store(1);
  shared_.suspended.store(0);
  thread_.Start(engine_, shared_);
}

// The ready word and the event wake the thread until it has left its loop.
void Ring0Mode::LeaveThread(float limit) {
  shared_.runFlag.store(0);
  shared_.suspended.store(0);
  shared_.suspended.notify_all();
  if (!thread_.Started()) return;
  float counter = 1.0f;
  while (shared_.threadState.load() != -1) {
    shared_.ready.store(1);
    WakeSleepers(shared_.ready, shared_.readySleepers);
    event.Signal();
    counter += std::sqrt(2.0f);
    if (counter > limit) break;
  }
  event.Signal();
  thread_.Join();
}

void Ring0Mode::ReleaseDriver() {
  KernelServices* kernel = host_.Devices().kernel;
  if (driver == -1 || kernel == nullptr) return;
  std::int32_t out[5] = {};
  kernel->DeviceIoControl(driver, legacy::kDriverRelease, nullptr, 0, out, sizeof out);
  kernel->CloseHandle(driver);
  driver = -1;
}

}  // namespace fw
