#include "qt/binders.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolTip>

#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/radio_group.h"
#include "ui/scroll_bar.h"
#include "ui/simple_controls.h"

namespace fw::qt {
namespace {

// Runs `update` on the widget at every change of the control, while the widget
// exists, with the widget's signals blocked.
template <class W, class C, class F>
void Follow(W& widget, C& control, F update) {
  QPointer<W> guarded(&widget);
  auto apply = [guarded, &control, update] {
    if (guarded.isNull()) return;
    const QSignalBlocker blocker(guarded.data());
    guarded->setEnabled(control.Enabled());
    guarded->setHidden(!control.Visible());
    guarded->setToolTip(ScreenText(control.Hint()));
    update(*guarded, control);
  };
  apply();
  control.Observe([apply](const ui::Control&) { apply(); });
}

QColor Rgb(std::uint32_t rgb) {
  return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>(rgb & 0xFF));
}

}  // namespace

QString ScreenText(const std::string& text) {
  return QString::fromStdString(text).replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
}

void BindCommon(QWidget& widget, ui::Control& control) {
  Follow(widget, control, [](QWidget&, ui::Control&) {});
}

void BindScrollBar(QScrollBar& widget, ui::ScrollBar& control) {
  widget.setOrientation(control.BarKind() == ui::ScrollBarKind::Vertical ? Qt::Vertical : Qt::Horizontal);
  widget.setRange(control.Min(), control.Max());
  widget.setPageStep(std::max(1, (control.Max() - control.Min()) / 10));
  Follow(widget, control, [](QScrollBar& w, ui::ScrollBar& c) { w.setValue(c.Position()); });
  QObject::connect(&widget, &QScrollBar::valueChanged, &widget, [&control](int value) {
    if (value != control.Position()) control.SetPosition(value);
  });
  // While dragging, a tooltip at the pointer reads the position the thumb is at (the
  // model follows once the move is done).
  auto showReadout = [&widget, &control](int position) {
    QToolTip::showText(QCursor::pos(), ScreenText(control.ReadoutAt(position)), &widget);
  };
  QObject::connect(&widget, &QScrollBar::sliderMoved, &widget, showReadout);
  QObject::connect(&widget, &QScrollBar::sliderPressed, &widget,
                   [showReadout, &widget] { showReadout(widget.sliderPosition()); });
}

void BindCheckBox(QCheckBox& widget, ui::CheckBox& control) {
  Follow(widget, control, [](QCheckBox& w, ui::CheckBox& c) {
    w.setText(ScreenText(c.Caption()));
    w.setChecked(c.Checked());
  });
  QObject::connect(&widget, &QCheckBox::toggled, &widget, [&control](bool checked) {
    if (checked != control.Checked()) control.SetChecked(checked);
  });
}

void BindRadioGroup(QGroupBox& widget, ui::RadioGroup& control) {
  auto* buttons = new QButtonGroup(&widget);
  auto* grid = new QGridLayout(&widget);
  grid->setContentsMargins(6, 2, 6, 4);
  grid->setVerticalSpacing(0);
  QPointer<QButtonGroup> guardedGroup(buttons);
  Follow(widget, control, [guardedGroup](QGroupBox& w, ui::RadioGroup& c) {
    w.setTitle(ScreenText(c.Caption()));
    const auto& items = c.Items();
    auto existing = guardedGroup->buttons();
    // The items may be replaced (the record buffer sizes): rebuild when they differ.
    bool same = existing.size() == static_cast<qsizetype>(items.size());
    for (qsizetype i = 0; same && i < existing.size(); ++i)
      same = existing[i]->text() == ScreenText(items[static_cast<std::size_t>(i)]);
    if (!same) {
      for (auto* button : existing) {
        guardedGroup->removeButton(button);
        delete button;
      }
      auto* layout = static_cast<QGridLayout*>(w.layout());
      const int columns = std::max(1, c.Columns());
      const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
      for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        auto* button = new QRadioButton(ScreenText(items[static_cast<std::size_t>(i)]), &w);
        guardedGroup->addButton(button, i);
        layout->addWidget(button, i % rows, i / rows);
      }
    }
    const QSignalBlocker blocker(guardedGroup.data());
    if (c.ItemIndex() >= 0) {
      if (auto* button = guardedGroup->button(c.ItemIndex())) button->setChecked(true);
    } else if (auto* checked = guardedGroup->checkedButton()) {
      guardedGroup->setExclusive(false);
      checked->setChecked(false);
      guardedGroup->setExclusive(true);
    }
  });
  QObject::connect(buttons, &QButtonGroup::idClicked, &widget, [&control](int id) {
    if (id != control.ItemIndex()) control.SetItemIndex(id);
  });
}

void BindButton(QPushButton& widget, ui::Button& control) {
  Follow(widget, control, [](QPushButton& w, ui::Button& c) {
    w.setText(ScreenText(c.Caption()));
    QPalette palette = w.palette();
    palette.setColor(QPalette::ButtonText, Rgb(c.FontColor()));
    w.setPalette(palette);
  });
  QObject::connect(&widget, &QPushButton::clicked, &widget, [&control] { control.Click(); });
}

void BindLabel(QLabel& widget, ui::Label& control) {
  Follow(widget, control, [](QLabel& w, ui::Label& c) { w.setText(ScreenText(c.Caption())); });
}

void BindEdit(QLineEdit& widget, ui::Edit& control) {
  Follow(widget, control, [](QLineEdit& w, ui::Edit& c) {
    if (w.text() != ScreenText(c.Text())) w.setText(ScreenText(c.Text()));
  });
  QObject::connect(&widget, &QLineEdit::textEdited, &widget,
                   [&control](const QString& text) { control.SetText(text.toStdString()); });
}

void BindListBox(QListWidget& widget, ui::ListBox& control) {
  Follow(widget, control, [](QListWidget& w, ui::ListBox& c) {
    QStringList lines;
    for (const auto& item : c.Items()) lines << ScreenText(item);
    QStringList shown;
    for (int i = 0; i < w.count(); ++i) shown << w.item(i)->text();
    if (shown != lines) {
      w.clear();
      w.addItems(lines);
    }
    w.setCurrentRow(c.ItemIndex());
  });
  QObject::connect(&widget, &QListWidget::currentRowChanged, &widget, [&control](int row) {
    if (row != control.ItemIndex()) control.SetItemIndex(row);
  });
}

void BindComboBox(QComboBox& widget, ui::ComboBox& control) {
  Follow(widget, control, [](QComboBox& w, ui::ComboBox& c) {
    w.clear();
    for (const auto& item : c.Items()) w.addItem(ScreenText(item));
    if (c.Items().empty()) w.addItem(ScreenText(c.Text()));
    w.setCurrentIndex(c.ItemIndex() >= 0 ? c.ItemIndex() : 0);
  });
  QObject::connect(&widget, &QComboBox::currentIndexChanged, &widget, [&control](int index) {
    if (!control.Items().empty() && index != control.ItemIndex()) control.SetItemIndex(index);
  });
}

void BindProgressBar(QProgressBar& widget, ui::ProgressBar& control) {
  Follow(widget, control, [](QProgressBar& w, ui::ProgressBar& c) {
    w.setRange(c.Min(), c.Max());
    w.setValue(c.Position());
  });
}

void BindStatusBar(QLabel& widget, ui::StatusBar& control) {
  Follow(widget, control, [](QLabel& w, ui::StatusBar& c) { w.setText(ScreenText(c.SimpleText())); });
}

void BindPageControl(QTabWidget& widget, ui::PageControl& control) {
  Follow(widget, control, [](QTabWidget& w, ui::PageControl& c) { w.setCurrentIndex(c.ActivePageIndex()); });
  QObject::connect(&widget, &QTabWidget::currentChanged, &widget, [&control](int index) {
    if (index >= 0 && index != control.ActivePageIndex()) control.SetActivePageIndex(index);
  });
}

}  // namespace fw::qt
