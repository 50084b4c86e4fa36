#pragma once
#include <algorithm>
#include <vector>

#include "ui/control.h"

namespace fw::ui {

class RadioGroup : public Control {
 public:
  RadioGroup(std::string name, std::string caption, std::vector<std::string> items, int itemIndex = -1,
             int columns = 1)
      : Control(std::move(name), ControlKind::RadioGroup), items_(std::move(items)), columns_(columns) {
    SetCaption(std::move(caption));
    itemIndex_ = Limit(itemIndex);
  }

  const std::vector<std::string>& Items() const { return items_; }
  // Replacing the items keeps the index inside the new list (no handler fires).
  void SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = Limit(itemIndex_);
    Changed();
  }
  int Columns() const { return columns_; }
  void SetColumns(int columns) { columns_ = columns; Changed(); }
  int ItemIndex() const { return itemIndex_; }

  // Limits to -1..items-1; fires OnClick only when the index changes.
  void SetItemIndex(int index) {
    const int limited = Limit(index);
    if (limited == itemIndex_) return;
    itemIndex_ = limited;
    Changed();
    if (OnClick) OnClick();
  }

  Handler OnClick;

 private:
  int Limit(int index) const { return std::clamp(index, -1, static_cast<int>(items_.size()) - 1); }

  std::vector<std::string> items_;
  int columns_;
  int itemIndex_ = -1;
};

}  // namespace fw::ui
