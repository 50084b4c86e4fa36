#pragma once
// What a headless live session (fretwerk-cli run and latency) puts in place of the
// window's dialogs and the system: messages go to stderr, ending the program ends the
// session's loop.
#include <algorithm>
#include <chrono>
#include <iostream>
#include <optional>
#include <string>

#include "app/linux_system_services.h"
#include "app/system_services.h"
#include "ui/dialogs.h"
#include "ui/window_loop.h"

namespace fw::cli {

class ConsoleDialogs final : public ui::Dialogs {
 public:
  std::optional<std::string> OpenFile(const ui::FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> SaveFile(const ui::FileDialogOptions&) override { return std::nullopt; }
  void MessageBox(const std::string& text, const std::string&) override { Print(text); }
  void ShowError(const std::string& text) override {
    ++errors_;
    Print(text);
  }
  int Errors() const { return errors_; }

 private:
  int errors_ = 0;
  static void Print(std::string text) {
    // The system's line breaks are "\n\r": show them as plain new lines.
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    std::cerr << "message: " << text << "\n";
  }
};

class CliSystemServices final : public SystemServices {
 public:
  explicit CliSystemServices(ui::WindowLoop& loop, bool ring0 = false) : loop_(loop), ring0_(ring0) {}
  std::int64_t TimeOfDayMs() override {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count() % 86400000;
  }
  // Only the simulated legacy PC has ring-0 drivers.
  bool HasRing0Drivers() override { return ring0_; }
  std::string ProgramDirectory() override { return ResolveProgramDirectory(CurrentProgramDirectoryInputs()); }
  void RequestTerminate() override {
    ended = true;
    loop_.Quit();
  }
  void EndProgramNow() override {
    ended = true;
    loop_.Quit();
  }
  bool ended = false;

 private:
  ui::WindowLoop& loop_;
  bool ring0_;
};

}  // namespace fw::cli
