#pragma once
#include <cstdint>

#include "ui/control.h"

namespace fw::ui {

enum class ButtonKind { Plain, Bitmap };

// A push button; the bitmap kind has a caption font colour (presets highlight in red).
class Button : public Control {
 public:
  static constexpr std::uint32_t kBlack = 0x000000;
  static constexpr std::uint32_t kRed = 0xFF0000;
  static constexpr std::uint32_t kGreen = 0x008000;

  Button(std::string name, std::string caption, ButtonKind kind = ButtonKind::Plain)
      : Control(std::move(name), ControlKind::Button), kind_(kind) {
    SetCaption(std::move(caption));
  }

  ButtonKind ButtonType() const { return kind_; }
  std::uint32_t FontColor() const { return fontColor_; }
  void SetFontColor(std::uint32_t rgb) { fontColor_ = rgb; Changed(); }

  // A click from code runs the handler whether or not the button is enabled, as the
  // window's commands rely on; views offer clicks on enabled buttons only.
  void Click() {
    if (OnClick) OnClick();
  }

  Handler OnClick;

 private:
  ButtonKind kind_;
  std::uint32_t fontColor_ = kBlack;
};

}  // namespace fw::ui
