#pragma once
// One binder per control kind: connects a Qt widget to its model control both ways.
// The user's change sets the model control (which runs its handler once); a change
// of the model control moves the widget with its signals blocked, so the handler
// does not fire again. Caption, enabled state, visibility and hint follow the model.
// A scroll bar shows its readout in a tooltip while dragged.
#include <QString>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QLabel;
class QTabWidget;
class QWidget;

namespace fw::ui {
class Button;
class CheckBox;
class ComboBox;
class Control;
class Edit;
class Label;
class ListBox;
class PageControl;
class ProgressBar;
class RadioGroup;
class ScrollBar;
class StatusBar;
}  // namespace fw::ui

namespace fw::qt {

// The system's line break is "\n\r": one line break on screen.
QString ScreenText(const std::string& text);

void BindScrollBar(QScrollBar& widget, ui::ScrollBar& control);
void BindCheckBox(QCheckBox& widget, ui::CheckBox& control);
// Fills the group box with one radio button per item, in the group's columns.
void BindRadioGroup(QGroupBox& widget, ui::RadioGroup& control);
void BindButton(QPushButton& widget, ui::Button& control);
void BindLabel(QLabel& widget, ui::Label& control);
void BindEdit(QLineEdit& widget, ui::Edit& control);
void BindListBox(QListWidget& widget, ui::ListBox& control);
void BindComboBox(QComboBox& widget, ui::ComboBox& control);
void BindProgressBar(QProgressBar& widget, ui::ProgressBar& control);
void BindStatusBar(QLabel& widget, ui::StatusBar& control);
void BindPageControl(QTabWidget& widget, ui::PageControl& control);
// Enabled state, visibility and hint only (a paint box has nothing else).
void BindCommon(QWidget& widget, ui::Control& control);

}  // namespace fw::qt
