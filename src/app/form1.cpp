#include "app/form1.h"

#include "app/midi/midi_control.h"
#include "app/pages/pages.h"
#include "app/presets/preset_state.h"
#include "app/realtime/realtime_control.h"
#include "app/startup_state.h"
#include "app/tuner/tuner_state.h"
#include "audio/chain_io.h"
#include "audio/output_library.h"
#include "files/file_player.h"
#include "files/io_error.h"
#include "files/recorder.h"
#include "ui/dialogs.h"

namespace fw {

TForm1::TForm1(Engine& engineRef, ui::WindowLoop& loopRef, Platform platformRef)
    : io_(std::make_unique<ChainIo>()), engine(engineRef), io(*io_), loop(loopRef), platform(platformRef) {
  // Library mode plays through the output library and posts its overload message
  // to this window's loop.
  io.output = platform.output;
  io.messages = &loop;
  AddStatusBar("StatusBar1");
  BuildNotebooks(*this);
  BuildMainStrip(*this);
  BuildInputGainControls(*this);
  BuildDistortionControls(*this);
  BuildFilterControls(*this);
  BuildBrightnessControls(*this);
  BuildEqualiserControls(*this);
  BuildTubeControls(*this);
  BuildReverbControls(*this);
  BuildDelayControls(*this);
  BuildFlangerControls(*this);
  BuildChorusControls(*this);
  BuildHardwareControls(*this);
  BuildRealtimeControls(*this);
  BuildPlaybackControls(*this);
  BuildRecordControls(*this);
  BuildPresetControls(*this);
  BuildHelpControls(*this);
  BuildTunerControls(*this);
  DeclarePageLayouts(*this);
}

TForm1::~TForm1() {
  for (auto& [name, timer] : timers_) loop.RemoveTimer(*timer);
}

ui::Control* TForm1::Find(std::string_view name) const {
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second.get();
}

const ui::PageLayout* TForm1::LayoutOf(std::string_view page) const {
  const auto it = layouts_.find(page);
  return it == layouts_.end() ? nullptr : &it->second;
}

void TForm1::SetLayout(std::string page, ui::PageLayout layout) {
  layouts_[std::move(page)] = std::move(layout);
}

ui::Timer& TForm1::GetTimer(std::string_view name) const {
  const auto it = timers_.find(name);
  if (it == timers_.end()) throw UnknownControl("no timer " + std::string(name));
  return *it->second;
}

template <class T>
T& TForm1::Register(std::unique_ptr<T> control, std::string page) {
  T& ref = *control;
  ref.SetPage(std::move(page));
  const std::string name = ref.Name();
  if (controls_.count(name) != 0) throw std::logic_error("control created twice: " + name);
  order_.push_back(&ref);
  controls_.emplace(name, std::move(control));
  return ref;
}

ui::ScrollBar& TForm1::AddScrollBar(std::string name, std::string page, int min, int max, int position,
                                    ui::ScrollBarKind kind) {
  return Register(std::make_unique<ui::ScrollBar>(std::move(name), min, max, position, kind),
                  std::move(page));
}

ui::CheckBox& TForm1::AddCheckBox(std::string name, std::string page, std::string caption, bool checked) {
  return Register(std::make_unique<ui::CheckBox>(std::move(name), std::move(caption), checked),
                  std::move(page));
}

ui::RadioGroup& TForm1::AddRadioGroup(std::string name, std::string page, std::string caption,
                                      std::vector<std::string> items, int itemIndex, int columns) {
  return Register(std::make_unique<ui::RadioGroup>(std::move(name), std::move(caption), std::move(items),
                                                   itemIndex, columns),
                  std::move(page));
}

ui::Button& TForm1::AddButton(std::string name, std::string page, std::string caption, ui::ButtonKind kind) {
  return Register(std::make_unique<ui::Button>(std::move(name), std::move(caption), kind), std::move(page));
}

ui::Label& TForm1::AddLabel(std::string name, std::string page, std::string caption) {
  return Register(std::make_unique<ui::Label>(std::move(name), std::move(caption)), std::move(page));
}

ui::Edit& TForm1::AddEdit(std::string name, std::string page, std::string text) {
  return Register(std::make_unique<ui::Edit>(std::move(name), std::move(text)), std::move(page));
}

ui::ListBox& TForm1::AddListBox(std::string name, std::string page) {
  return Register(std::make_unique<ui::ListBox>(std::move(name)), std::move(page));
}

ui::ComboBox& TForm1::AddComboBox(std::string name, std::string page) {
  return Register(std::make_unique<ui::ComboBox>(std::move(name)), std::move(page));
}

ui::ProgressBar& TForm1::AddProgressBar(std::string name, std::string page, int min, int max) {
  return Register(std::make_unique<ui::ProgressBar>(std::move(name), min, max), std::move(page));
}

ui::StatusBar& TForm1::AddStatusBar(std::string name) {
  return Register(std::make_unique<ui::StatusBar>(std::move(name)), "");
}

ui::PageControl& TForm1::AddPageControl(std::string name, std::string page, std::vector<std::string> pages,
                                        int activePage) {
  return Register(std::make_unique<ui::PageControl>(std::move(name), std::move(pages), activePage),
                  std::move(page));
}

ui::PaintBox& TForm1::AddPaintBox(std::string name, std::string page) {
  return Register(std::make_unique<ui::PaintBox>(std::move(name)), std::move(page));
}

ui::Timer& TForm1::AddTimer(std::string name, int intervalMs, bool enabled) {
  auto timer = std::make_unique<ui::Timer>(name, intervalMs, enabled);
  ui::Timer& ref = *timer;
  timers_.emplace(std::move(name), std::move(timer));
  loop.AddTimer(ref);
  return ref;
}

void TForm1::RunCommand(const std::function<void()>& command) {
  try {
    command();
  } catch (const IoError& error) {
    ShowError(error.FullText());
  }
}

void TForm1::ShowError(const std::string& text) {
  if (platform.dialogs != nullptr) platform.dialogs->ShowError(text);
}

void TForm1::ShowMessage(const std::string& text, const std::string& caption) {
  if (platform.dialogs != nullptr) platform.dialogs->MessageBox(text, caption);
}

}  // namespace fw
