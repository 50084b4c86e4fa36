#pragma once
// TForm1, the main window's logic: it owns the named controls, the handlers that
// turn positions into engine words, and the window-thread state of the commands.
// Views (the Qt window, fretwerk-cli, tests) drive it the way a user would.
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform.h"
#include "audio/chain_io.h"
#include "engine/engine.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/page_layout.h"
#include "ui/radio_group.h"
#include "ui/scroll_bar.h"
#include "ui/simple_controls.h"
#include "ui/timer.h"
#include "ui/window_loop.h"

namespace fw {

class FilePlayer;
class MidiControl;
struct PresetState;
class RealtimeControl;
class Recorder;
struct StartupState;
struct TunerState;

class UnknownControl : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TForm1 {
 public:
  TForm1(Engine& engine, ui::WindowLoop& loop, Platform platform);
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

 private:
  std::unique_ptr<ChainIo> io_;  // declared before `io`, which refers to it

 public:
  Engine& engine;
  // The device side of the chain drivers the window's audio modes run.
  ChainIo& io;
  ui::WindowLoop& loop;
  Platform platform;

  // Looks a control up by name; nullptr when there is none.
  ui::Control* Find(std::string_view name) const;
  // Typed lookup; throws UnknownControl when the name or the kind is wrong.
  template <class T>
  T& Get(std::string_view name) const {
    auto* control = dynamic_cast<T*>(Find(name));
    if (control == nullptr) throw UnknownControl("no control " + std::string(name));
    return *control;
  }
  ui::ScrollBar& Bar(std::string_view name) const { return Get<ui::ScrollBar>(name); }
  ui::CheckBox& Box(std::string_view name) const { return Get<ui::CheckBox>(name); }
  ui::RadioGroup& Group(std::string_view name) const { return Get<ui::RadioGroup>(name); }
  ui::Button& Btn(std::string_view name) const { return Get<ui::Button>(name); }
  ui::Timer& GetTimer(std::string_view name) const;
  ui::StatusBar& Status() const { return Get<ui::StatusBar>("StatusBar1"); }

  // Every control in creation order.
  const std::vector<ui::Control*>& Controls() const { return order_; }

  // The layout a page declares (app/pages/page_layouts.cpp); nullptr when it declares none.
  const ui::PageLayout* LayoutOf(std::string_view page) const;
  void SetLayout(std::string page, ui::PageLayout layout);

  // Control creation, used by the page builders (initial positions fire no handler).
  ui::ScrollBar& AddScrollBar(std::string name, std::string page, int min, int max, int position,
                              ui::ScrollBarKind kind = ui::ScrollBarKind::Horizontal);
  ui::CheckBox& AddCheckBox(std::string name, std::string page, std::string caption, bool checked = false);
  ui::RadioGroup& AddRadioGroup(std::string name, std::string page, std::string caption,
                                std::vector<std::string> items, int itemIndex, int columns = 1);
  ui::Button& AddButton(std::string name, std::string page, std::string caption,
                        ui::ButtonKind kind = ui::ButtonKind::Plain);
  ui::Label& AddLabel(std::string name, std::string page, std::string caption);
  ui::Edit& AddEdit(std::string name, std::string page, std::string text = {});
  ui::ListBox& AddListBox(std::string name, std::string page);
  ui::ComboBox& AddComboBox(std::string name, std::string page);
  ui::ProgressBar& AddProgressBar(std::string name, std::string page, int min = 0, int max = 100);
  ui::StatusBar& AddStatusBar(std::string name);
  ui::PageControl& AddPageControl(std::string name, std::string page, std::vector<std::string> pages,
                                  int activePage);
  ui::PaintBox& AddPaintBox(std::string name, std::string page);
  ui::Timer& AddTimer(std::string name, int intervalMs, bool enabled = false);

  // Runs a user command: an I/O error raised by a checked file step ends the
  // command and is shown on the application's error display.
  void RunCommand(const std::function<void()>& command);
  void ShowError(const std::string& text);
  void ShowMessage(const std::string& text, const std::string& caption = "Fretwerk");

  // Window-thread state of the commands, created by the pages that own it.
  std::unique_ptr<PresetState> presets;
  std::unique_ptr<Recorder> recorder;
  std::unique_ptr<FilePlayer> player;
  std::unique_ptr<RealtimeControl> realtime;
  std::unique_ptr<StartupState> startup;
  std::unique_ptr<MidiControl> midi;
  std::unique_ptr<TunerState> tuner;

 private:
  template <class T>
  T& Register(std::unique_ptr<T> control, std::string page);

  std::map<std::string, std::unique_ptr<ui::Control>, std::less<>> controls_;
  std::vector<ui::Control*> order_;
  std::map<std::string, std::unique_ptr<ui::Timer>, std::less<>> timers_;
  std::map<std::string, ui::PageLayout, std::less<>> layouts_;
};

}  // namespace fw
