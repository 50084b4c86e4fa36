#pragma once
// A window timer: fires OnTimer on the window thread every Interval ms while enabled.
#include <cstdint>
#include <string>
#include <utility>

#include "ui/control.h"

namespace fw::ui {

class WindowLoop;

class Timer {
 public:
  Timer(std::string name, int intervalMs, bool enabled = false)
      : name_(std::move(name)), interval_(intervalMs), enabled_(enabled) {}
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  const std::string& Name() const { return name_; }
  int Interval() const { return interval_; }
  void SetInterval(int ms) { interval_ = ms; Restart(); }
  bool Enabled() const { return enabled_; }
  // Enabling (or re-enabling) starts a new interval from now.
  void SetEnabled(bool enabled) {
    enabled_ = enabled;
    Restart();
  }

  Handler OnTimer;

 private:
  friend class WindowLoop;
  void Restart();

  std::string name_;
  int interval_;
  bool enabled_;
  WindowLoop* loop_ = nullptr;
  std::int64_t due_ = 0;
};

}  // namespace fw::ui
