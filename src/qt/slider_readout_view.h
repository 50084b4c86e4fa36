#pragma once
// A slider's value where the player sees it: a small label beside the bar, and, for
// bars with no room beside them, the status bar while the bar has the focus. (The
// tooltip while dragging is the scroll bar binder's.)
#include <string>

class QLabel;
class QScrollBar;
class QWidget;

namespace fw::ui {
class ScrollBar;
class StatusBar;
}  // namespace fw::ui

namespace fw::qt {

// Named "Readout:<bar>", wide enough for every position's text, right-aligned.
QLabel* MakeSliderReadout(ui::ScrollBar& bar, QWidget* parent);
// "<caption>: <readout>" in the status bar while `widget` has the focus; a click
// gives it the focus.
void ShowReadoutWhileFocused(QScrollBar& widget, ui::ScrollBar& bar, const std::string& caption,
                             ui::StatusBar& status);

}  // namespace fw::qt
