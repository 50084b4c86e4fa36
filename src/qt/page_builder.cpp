#include "qt/page_builder.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/form1.h"
#include "qt/binders.h"
#include "qt/control_widget.h"
#include "qt/slider_readout_view.h"

namespace fw::qt {
namespace {

constexpr int kColumnGap = 12;
constexpr int kPageMargin = 6;

// A hidden bar hides its caption too.
void FollowVisibility(QWidget* box, ui::Control& control) {
  QPointer<QWidget> guarded(box);
  auto apply = [guarded, &control] {
    if (!guarded.isNull()) guarded->setHidden(!control.Visible());
  };
  apply();
  control.Observe([apply](const ui::Control&) { apply(); });
}

QGridLayout* Grid(QWidget* box) {
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  return grid;
}

QVBoxLayout* Stack(QWidget* box, int bottomMargin, int spacing) {
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, bottomMargin);
  layout->setSpacing(spacing);
  return layout;
}

class PageBuilder {
 public:
  PageBuilder(TForm1& form, int height, QWidget* parent)
      : form_(form), height_(height), page_(new QWidget(parent)) {}

  QWidget* Build(const std::string& page) {
    for (ui::Control* control : form_.Controls()) {
      auto* notebook = dynamic_cast<ui::PageControl*>(control);
      if (notebook != nullptr && notebook->Page() == page) return Notebook(*notebook);
    }
    static const ui::PageLayout kEmpty;
    const ui::PageLayout* layout = form_.LayoutOf(page);
    Arrange(layout != nullptr ? *layout : kEmpty);
    return page_;
  }

 private:
  QWidget* Notebook(ui::PageControl& control) {
    auto* layout = new QVBoxLayout(page_);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(BuildNotebook(form_, control, height_ - 4, page_));
    return page_;
  }

  QWidget* Widget(const std::string& name, QWidget* parent) {
    ui::Control* control = form_.Find(name);
    return control != nullptr ? MakeControlWidget(*control, parent) : nullptr;
  }

  QWidget* Block(const ui::LayoutBlock& block, QWidget* parent) {
    switch (block.kind) {
      case ui::LayoutBlock::Kind::Captioned:
        return CaptionedBar(block.names[0], block.names[1], parent);
      case ui::LayoutBlock::Kind::Bands:
        return Bands(block.names, parent);
      case ui::LayoutBlock::Kind::Buttons:
        return Buttons(block.names, parent);
      case ui::LayoutBlock::Kind::Section:
        return Section(block, parent);
      case ui::LayoutBlock::Kind::Control:
        break;
    }
    return Widget(block.names[0], parent);
  }

  QWidget* CaptionedBar(const std::string& label, const std::string& bar, QWidget* parent) {
    auto* box = new QWidget(parent);
    QVBoxLayout* layout = Stack(box, 2, 1);
    layout->addWidget(Widget(label, box));
    auto* line = new QHBoxLayout();
    line->setSpacing(4);
    line->addWidget(Widget(bar, box), 1);
    line->addWidget(MakeSliderReadout(form_.Bar(bar), box));
    layout->addLayout(line);
    FollowVisibility(box, *form_.Find(bar));
    return box;
  }

  QWidget* Bands(const std::vector<std::string>& labelsAndBars, QWidget* parent) {
    constexpr int kBandHeight = 190;
    auto* row = new QWidget(parent);
    QGridLayout* grid = Grid(row);
    grid->setVerticalSpacing(2);
    for (std::size_t i = 0; i + 1 < labelsAndBars.size(); i += 2) {
      QWidget* bar = Widget(labelsAndBars[i + 1], row);
      bar->setMinimumHeight(kBandHeight);
      auto* label = static_cast<QLabel*>(Widget(labelsAndBars[i], row));
      // No room beside a band: its value goes to the status bar.
      ShowReadoutWhileFocused(*static_cast<QScrollBar*>(bar), form_.Bar(labelsAndBars[i + 1]),
                              form_.Find(labelsAndBars[i])->Caption(), form_.Status());
      label->setWordWrap(false);
      label->setAlignment(Qt::AlignHCenter);
      const int column = static_cast<int>(i / 2);
      grid->addWidget(bar, 0, column, Qt::AlignHCenter);
      grid->addWidget(label, 1, column, Qt::AlignHCenter);
    }
    return row;
  }

  QWidget* Buttons(const std::vector<std::string>& buttons, QWidget* parent) {
    auto* box = new QWidget(parent);
    QGridLayout* grid = Grid(box);
    grid->setSpacing(4);
    for (std::size_t n = 0; n < buttons.size(); ++n)
      grid->addWidget(Widget(buttons[n], box), static_cast<int>(n / 2), static_cast<int>(n % 2));
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return box;
  }

  QWidget* Section(const ui::LayoutBlock& section, QWidget* parent) {
    auto* box = new QWidget(parent);
    QVBoxLayout* layout = Stack(box, 4, 1);
    QWidget* heading = Widget(section.names[0], box);
    heading->setStyleSheet(QStringLiteral("color: #1c3f94;"));
    layout->addWidget(heading);
    for (const ui::LayoutBlock& part : section.parts) layout->addWidget(Block(part, box));
    return box;
  }

  void Arrange(const ui::PageLayout& layout) {
    auto* grid = new QGridLayout(page_);
    grid->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
    grid->setHorizontalSpacing(kColumnGap);
    grid->setVerticalSpacing(0);
    const bool twoColumns = layout.TwoColumns();
    int row = 0;
    for (const ui::LayoutRow& line : layout.rows) {
      if (line.across) {
        if (QWidget* widget = Block(line.left.front(), page_))
          grid->addWidget(widget, row, 0, 1, twoColumns ? 2 : 1, Qt::AlignTop);
      } else {
        grid->addWidget(Columns(line), row, 0, 1, 2);
      }
      ++row;
    }
    grid->setRowStretch(row, 1);
    if (twoColumns) {
      grid->setColumnStretch(0, 1);
      grid->setColumnStretch(1, 1);
    }
  }

  QWidget* Columns(const ui::LayoutRow& line) {
    auto* columns = new QWidget(page_);
    QGridLayout* pair = Grid(columns);
    pair->setHorizontalSpacing(kColumnGap);
    int side = 0;
    for (const auto* blocks : {&line.left, &line.right}) {
      auto* column = new QVBoxLayout();
      column->setSpacing(4);
      for (const ui::LayoutBlock& block : *blocks) column->addWidget(Block(block, page_));
      column->addStretch(1);
      pair->addLayout(column, 0, side);
      pair->setColumnStretch(side, 1);
      ++side;
    }
    return columns;
  }

  TForm1& form_;
  int height_;
  QWidget* page_;
};

}  // namespace

QWidget* BuildPage(TForm1& form, const std::string& page, int height, QWidget* parent) {
  return PageBuilder(form, height, parent).Build(page);
}

QTabWidget* BuildNotebook(TForm1& form, ui::PageControl& control, int height, QWidget* parent) {
  constexpr int kTabBarHeight = 30;
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
