#include "qt/page_builder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "app/form1.h"
#include "qt/binders.h"

namespace fw::qt {
namespace {

constexpr int kColumnGap = 12;
constexpr int kTabBarHeight = 30;
constexpr int kPageMargin = 6;
constexpr int kBandHeight = 190;

// A unit of layout that stays in one column.
struct Block {
  QWidget* widget = nullptr;
  bool wide = false;  // takes the page's whole width
};

class PageBuilder {
 public:
  PageBuilder(TForm1& form, const std::string& page, int height, QWidget* parent)
      : form_(form), height_(height), page_(new QWidget(parent)) {
    for (ui::Control* control : form.Controls()) {
      if (control->Page() == page) controls_.push_back(control);
    }
  }

  QWidget* Build() {
    for (ui::Control* control : controls_) {
      if (auto* notebook = dynamic_cast<ui::PageControl*>(control)) return Notebook(*notebook);
    }
    width_ = page_->width() > 0 ? page_->width() : 493;
    for (std::size_t i = 0; i < controls_.size();) i = AddBlock(i);
    Arrange();
    return page_;
  }

 private:
  QWidget* Notebook(ui::PageControl& control) {
    auto* layout = new QVBoxLayout(page_);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(BuildNotebook(form_, control, height_ - 4, page_));
    return page_;
  }

  ui::Control* At(std::size_t i) const { return i < controls_.size() ? controls_[i] : nullptr; }
  static bool IsBar(const ui::Control* c, ui::ScrollBarKind kind) {
    const auto* bar = dynamic_cast<const ui::ScrollBar*>(c);
    return bar != nullptr && bar->BarKind() == kind;
  }

  template <class W>
  W* Make(const ui::Control& control, QWidget* parent) {
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromStdString(control.Name()));
    return widget;
  }

  // One widget for a control that stands alone.
  QWidget* Single(ui::Control& control, QWidget* parent) {
    switch (control.Kind()) {
      case ui::ControlKind::ScrollBar: {
        auto* w = Make<QScrollBar>(control, parent);
        BindScrollBar(*w, static_cast<ui::ScrollBar&>(control));
        return w;
      }
      case ui::ControlKind::CheckBox: {
        auto* w = Make<QCheckBox>(control, parent);
        BindCheckBox(*w, static_cast<ui::CheckBox&>(control));
        return w;
      }
      case ui::ControlKind::RadioGroup: {
        auto* w = Make<QGroupBox>(control, parent);
        BindRadioGroup(*w, static_cast<ui::RadioGroup&>(control));
        return w;
      }
      case ui::ControlKind::Button: {
        auto* w = Make<QPushButton>(control, parent);
        BindButton(*w, static_cast<ui::Button&>(control));
        return w;
      }
      case ui::ControlKind::Label: {
        auto* w = Make<QLabel>(control, parent);
        w->setWordWrap(true);
        BindLabel(*w, static_cast<ui::Label&>(control));
        return w;
      }
      case ui::ControlKind::Edit: {
        auto* w = Make<QLineEdit>(control, parent);
        BindEdit(*w, static_cast<ui::Edit&>(control));
        return w;
      }
      case ui::ControlKind::ListBox: {
        auto* w = Make<QListWidget>(control, parent);
        BindListBox(*w, static_cast<ui::ListBox&>(control));
        return w;
      }
      case ui::ControlKind::ComboBox: {
        auto* w = Make<QComboBox>(control, parent);
        BindComboBox(*w, static_cast<ui::ComboBox&>(control));
        return w;
      }
      case ui::ControlKind::ProgressBar: {
        auto* w = Make<QProgressBar>(control, parent);
        BindProgressBar(*w, static_cast<ui::ProgressBar&>(control));
        return w;
      }
      case ui::ControlKind::PaintBox: {
        auto* w = Make<QFrame>(control, parent);
        w->setMinimumSize(200, 120);
        BindCommon(*w, control);
        return w;
      }
      default:
        return nullptr;
    }
  }

  // A label followed by a horizontal bar: the caption over the bar.
  QWidget* CaptionedBar(ui::Control& label, ui::Control& bar) {
    auto* box = new QWidget(page_);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 2);
    layout->setSpacing(1);
    layout->addWidget(Single(label, box));
    layout->addWidget(Single(bar, box));
    FollowVisibility(box, bar);
    return box;
  }

  // Vertical bars, each over its label, side by side.
  QWidget* Bands(std::size_t& i) {
    auto* row = new QWidget(page_);
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    int column = 0;
    while (At(i) != nullptr && At(i)->Kind() == ui::ControlKind::Label &&
           IsBar(At(i + 1), ui::ScrollBarKind::Vertical)) {
      QWidget* bar = Single(*At(i + 1), row);
      bar->setMinimumHeight(kBandHeight);
      auto* label = static_cast<QLabel*>(Single(*At(i), row));
      label->setWordWrap(false);
      label->setAlignment(Qt::AlignHCenter);
      grid->addWidget(bar, 0, column, Qt::AlignHCenter);
      grid->addWidget(label, 1, column, Qt::AlignHCenter);
      ++column;
      i += 2;
    }
    return row;
  }

  // A hidden bar hides its caption too.
  static void FollowVisibility(QWidget* box, ui::Control& control) {
    QPointer<QWidget> guarded(box);
    auto apply = [guarded, &control] {
      if (!guarded.isNull()) guarded->setHidden(!control.Visible());
    };
    apply();
    control.Observe([apply](const ui::Control&) { apply(); });
  }

  bool IsHeading(std::size_t i) const {
    const ui::Control* c = At(i);
    if (c == nullptr || c->Kind() != ui::ControlKind::Label) return false;
    const ui::Control* next = At(i + 1);
    if (c->Caption().empty() || c->Caption().size() >= 40 || next == nullptr) return false;
    return next->Kind() == ui::ControlKind::CheckBox ||
           (next->Kind() == ui::ControlKind::Label && IsBar(At(i + 2), ui::ScrollBarKind::Horizontal));
  }

  // Adds the block starting at controls_[i]; returns the index after it.
  std::size_t AddBlock(std::size_t i) {
    ui::Control& c = *At(i);
    if (c.Kind() == ui::ControlKind::Label && IsBar(At(i + 1), ui::ScrollBarKind::Vertical)) {
      blocks_.push_back({Bands(i), false});
      return i;
    }
    if (c.Kind() == ui::ControlKind::Label && IsBar(At(i + 1), ui::ScrollBarKind::Horizontal)) {
      blocks_.push_back({CaptionedBar(c, *At(i + 1)), false});
      return i + 2;
    }
    if (IsHeading(i)) return Section(i);
    if (c.Kind() == ui::ControlKind::Button && At(i + 1) != nullptr &&
        At(i + 1)->Kind() == ui::ControlKind::Button)
      return Buttons(i);
    QWidget* widget = Single(c, page_);
    if (widget == nullptr) return i + 1;
    // Texts, lists and many-columned groups take the page's width.
    const auto* group = dynamic_cast<const ui::RadioGroup*>(&c);
    const bool wide = c.Kind() == ui::ControlKind::Label || c.Kind() == ui::ControlKind::ListBox ||
                      c.Kind() == ui::ControlKind::Edit || c.Kind() == ui::ControlKind::ProgressBar ||
                      (group != nullptr && group->Columns() > 1);
    blocks_.push_back({widget, wide});
    return i + 1;
  }

  // Buttons in a row pair up, two to a line; hidden ones go last.
  std::size_t Buttons(std::size_t i) {
    auto* box = new QWidget(page_);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    std::vector<ui::Control*> buttons;
    while (At(i) != nullptr && At(i)->Kind() == ui::ControlKind::Button) buttons.push_back(At(i++));
    std::stable_partition(buttons.begin(), buttons.end(), [](const ui::Control* b) { return b->Visible(); });
    int n = 0;
    for (ui::Control* button : buttons) {
      grid->addWidget(Single(*button, box), n / 2, n % 2);
      ++n;
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    blocks_.push_back({box, true});
    return i;
  }

  // A heading with the check boxes and captioned bars under it, kept together.
  std::size_t Section(std::size_t i) {
    auto* box = new QWidget(page_);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(1);
    auto* heading = static_cast<QLabel*>(Single(*At(i), box));
    heading->setStyleSheet(QStringLiteral("color: #1c3f94;"));
    layout->addWidget(heading);
    ++i;
    for (;;) {
      ui::Control* c = At(i);
      if (c == nullptr) break;
      if (c->Kind() == ui::ControlKind::CheckBox || c->Kind() == ui::ControlKind::ScrollBar) {
        layout->addWidget(Single(*c, box));
        ++i;
      } else if (c->Kind() == ui::ControlKind::Label && IsBar(At(i + 1), ui::ScrollBarKind::Horizontal)) {
        QWidget* bar = CaptionedBar(*c, *At(i + 1));
        bar->setParent(box);
        layout->addWidget(bar);
        i += 2;
      } else {
        break;
      }
    }
    blocks_.push_back({box, false});
    return i;
  }

  int HeightOf(QWidget* widget, int width) const {
    if (widget->isHidden()) return 0;
    const QSize hint = widget->sizeHint();
    const int forWidth = widget->hasHeightForWidth() ? widget->heightForWidth(width) : -1;
    return std::max(hint.height(), forWidth) + 6;
  }

  // One column when everything fits, else runs between wide blocks in two columns.
  void Arrange() {
    auto* grid = new QGridLayout(page_);
    grid->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
    grid->setHorizontalSpacing(kColumnGap);
    grid->setVerticalSpacing(0);
    const int full = width_ - 2 * kPageMargin;
    const int half = (full - kColumnGap) / 2;
    int total = 0;
    for (auto& block : blocks_) {
      // A check box with a long caption keeps it on one line.
      block.wide = block.wide || (qobject_cast<QCheckBox*>(block.widget) != nullptr &&
                                  block.widget->sizeHint().width() > half);
      total += HeightOf(block.widget, full);
    }
    const bool twoColumns = total > height_ - 2 * kPageMargin;
    int row = 0;
    std::size_t i = 0;
    while (i < blocks_.size()) {
      if (blocks_[i].wide || !twoColumns) {
        grid->addWidget(blocks_[i].widget, row++, 0, 1, twoColumns ? 2 : 1, Qt::AlignTop);
        ++i;
        continue;
      }
      std::size_t end = i;
      while (end < blocks_.size() && !blocks_[end].wide) ++end;
      row = TwoColumns(*grid, row, i, end, half);
      i = end;
    }
    grid->setRowStretch(row, 1);
    if (twoColumns) {
      grid->setColumnStretch(0, 1);
      grid->setColumnStretch(1, 1);
    }
  }

  // Splits blocks [begin, end) where the taller column is lowest.
  int TwoColumns(QGridLayout& grid, int row, std::size_t begin, std::size_t end, int width) {
    std::vector<int> heights;
    int total = 0;
    for (std::size_t k = begin; k < end; ++k) {
      heights.push_back(HeightOf(blocks_[k].widget, width));
      total += heights.back();
    }
    std::size_t split = begin;
    int best = total;
    int left = 0;
    for (std::size_t k = begin; k <= end; ++k) {
      const int taller = std::max(left, total - left);
      if (taller <= best) {
        best = taller;
        split = k;
      }
      if (k < end) left += heights[k - begin];
    }
    auto* columns = new QWidget(page_);
    auto* pair = new QGridLayout(columns);
    pair->setContentsMargins(0, 0, 0, 0);
    pair->setHorizontalSpacing(kColumnGap);
    for (int side = 0; side < 2; ++side) {
      auto* column = new QVBoxLayout();
      column->setSpacing(4);
      for (std::size_t k = side == 0 ? begin : split; k < (side == 0 ? split : end); ++k)
        column->addWidget(blocks_[k].widget);
      column->addStretch(1);
      pair->addLayout(column, 0, side);
      pair->setColumnStretch(side, 1);
    }
    grid.addWidget(columns, row, 0, 1, 2);
    return row + 1;
  }

  TForm1& form_;
  int height_;
  int width_ = 0;
  QWidget* page_;
  std::vector<ui::Control*> controls_;
  std::vector<Block> blocks_;
};

}  // namespace

QWidget* BuildPage(TForm1& form, const std::string& page, int height, QWidget* parent) {
  return PageBuilder(form, page, height, parent).Build();
}

QTabWidget* BuildNotebook(TForm1& form, ui::PageControl& control, int height, QWidget* parent) {
  auto* tabs = new QTabWidget(parent);
  tabs->setObjectName(QString::fromStdString(control.Name()));
  for (const auto& name : control.Pages()) {
    QWidget* child = BuildPage(form, name, height - kTabBarHeight, tabs);
    child->setObjectName(QString::fromStdString("Page:" + name));
    tabs->addTab(child, ScreenText(name));
  }
  BindPageControl(*tabs, control);
  return tabs;
}

}  // namespace fw::qt
