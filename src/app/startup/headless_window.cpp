#include "app/startup/headless_window.h"

#include <chrono>

#include "app/startup/headless_start.h"

namespace fw {

DirectorySystem::DirectorySystem(std::string programDirectory) : directory_(std::move(programDirectory)) {
  if (directory_.empty() || directory_.back() != '/') directory_ += '/';
}

std::int64_t DirectorySystem::TimeOfDayMs() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(now).count() % 86400000;
}

HeadlessWindow::HeadlessWindow(OutputLibrary& output, const std::string& programDirectory)
    : system(programDirectory) {
  Platform platform;
  platform.output = &output;
  platform.dialogs = &dialogs;
  platform.system = &system;
  form = std::make_unique<TForm1>(*engine, loop, platform);
}

void HeadlessWindow::Start(int engineRate) {
  form->RunCommand([this] { StartHeadless(*form, ""); });
  if (!dialogs.errors.empty() || engineRate != 44100) return;
  // The window's check box where it has one; otherwise the two words its handler sets.
  if (auto* box = dynamic_cast<ui::CheckBox*>(form->Find("CheckBox_AWE_44_1"))) {
    box->SetChecked(true);
    return;
  }
  engine->params.EngineSampleRate.store(44100);
  engine->params.RealtimeBlockLength.store(256);
}

}  // namespace fw
