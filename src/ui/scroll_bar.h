#pragma once
#include <algorithm>
#include <functional>
#include <string>

#include "ui/control.h"

namespace fw::ui {

enum class ScrollBarKind { Horizontal, Vertical };

class ScrollBar : public Control {
 public:
  ScrollBar(std::string name, int min, int max, int position, ScrollBarKind kind = ScrollBarKind::Horizontal)
      : Control(std::move(name), ControlKind::ScrollBar),
        min_(min),
        max_(max),
        position_(std::clamp(position, min, max)),
        kind_(kind) {}

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  ScrollBarKind BarKind() const { return kind_; }

  // A position as the user reads it ("250 Hz", "-6.0 dB"); the bare position unless
  // the page that made the bar gave it a readout.
  using Readout = std::function<std::string(int position)>;
  void SetReadout(Readout readout) { readout_ = std::move(readout); }
  std::string ReadoutAt(int position) const {
    return readout_ ? readout_(position) : std::to_string(position);
  }
  std::string ReadoutNow() const { return ReadoutAt(position_); }
  // What the readout depends on besides the position changed: views show it again.
  void ReadoutChanged() const { Changed(); }

  // Limits to Min..Max; fires OnChange only when the position changes.
  void SetPosition(int position) {
    const int limited = std::clamp(position, min_, max_);
    if (limited == position_) return;
    position_ = limited;
    Changed();
    if (OnChange) OnChange();
  }

  Handler OnChange;

 private:
  int min_;
  int max_;
  int position_;
  ScrollBarKind kind_;
  Readout readout_;
};

}  // namespace fw::ui
