#pragma once
// The Qt widget of one model control, bound to it and named after it.
class QWidget;

namespace fw::ui {
class Control;
}

namespace fw::qt {

// nullptr for a kind no page shows (status bar, notebook).
QWidget* MakeControlWidget(ui::Control& control, QWidget* parent);

}  // namespace fw::qt
