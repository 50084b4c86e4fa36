#include "qt/control_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

#include "qt/binders.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/radio_group.h"
#include "ui/scroll_bar.h"
#include "ui/simple_controls.h"

namespace fw::qt {
namespace {

template <class Widget, class Model, void (*Bind)(Widget&, Model&)>
QWidget* Make(ui::Control& control, QWidget* parent) {
  auto* widget = new Widget(parent);
  widget->setObjectName(QString::fromStdString(control.Name()));
  Bind(*widget, static_cast<Model&>(control));
  return widget;
}

void BindWrappedLabel(QLabel& widget, ui::Label& control) {
  widget.setWordWrap(true);
  BindLabel(widget, control);
}

void BindPaintBox(QFrame& widget, ui::Control& control) {
  widget.setMinimumSize(200, 120);
  BindCommon(widget, control);
}

struct Maker {
  ui::ControlKind kind;
  QWidget* (*make)(ui::Control&, QWidget*);
};

constexpr Maker kMakers[] = {
    {ui::ControlKind::ScrollBar, Make<QScrollBar, ui::ScrollBar, BindScrollBar>},
    {ui::ControlKind::CheckBox, Make<QCheckBox, ui::CheckBox, BindCheckBox>},
    {ui::ControlKind::RadioGroup, Make<QGroupBox, ui::RadioGroup, BindRadioGroup>},
    {ui::ControlKind::Button, Make<QPushButton, ui::Button, BindButton>},
    {ui::ControlKind::Label, Make<QLabel, ui::Label, BindWrappedLabel>},
    {ui::ControlKind::Edit, Make<QLineEdit, ui::Edit, BindEdit>},
    {ui::ControlKind::ListBox, Make<QListWidget, ui::ListBox, BindListBox>},
    {ui::ControlKind::ComboBox, Make<QComboBox, ui::ComboBox, BindComboBox>},
    {ui::ControlKind::ProgressBar, Make<QProgressBar, ui::ProgressBar, BindProgressBar>},
    {ui::ControlKind::PaintBox, Make<QFrame, ui::Control, BindPaintBox>},
};

}  // namespace

QWidget* MakeControlWidget(ui::Control& control, QWidget* parent) {
  for (const Maker& maker : kMakers) {
    if (maker.kind == control.Kind()) return maker.make(control, parent);
  }
  return nullptr;
}

}  // namespace fw::qt
