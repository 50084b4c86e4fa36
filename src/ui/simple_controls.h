#pragma once
// Controls without a range: label, edit box, list box, combo box, progress bar,
// status bar, page control and paint box.
#include <algorithm>
#include <vector>

#include "ui/control.h"

namespace fw::ui {

class Label : public Control {
 public:
  Label(std::string name, std::string caption) : Control(std::move(name), ControlKind::Label) {
    SetCaption(std::move(caption));
  }
};

class Edit : public Control {
 public:
  explicit Edit(std::string name, std::string text = {}) : Control(std::move(name), ControlKind::Edit), text_(std::move(text)) {}
  const std::string& Text() const { return text_; }
  void SetText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    Changed();
    if (OnChange) OnChange();
  }
  Handler OnChange;

 private:
  std::string text_;
};

// A list of lines with a selection; the combo box adds a text and a change handler.
class ListBox : public Control {
 public:
  explicit ListBox(std::string name, ControlKind kind = ControlKind::ListBox) : Control(std::move(name), kind) {}
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = std::clamp(itemIndex_, -1, static_cast<int>(items_.size()) - 1);
    Changed();
  }
  void AddItem(std::string item) { items_.push_back(std::move(item)); Changed(); }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index) {
    const int limited = std::clamp(index, -1, static_cast<int>(items_.size()) - 1);
    if (limited == itemIndex_) return;
    itemIndex_ = limited;
    Changed();
    if (OnChange) OnChange();
  }
  Handler OnChange;

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

class ComboBox : public ListBox {
 public:
  explicit ComboBox(std::string name) : ListBox(std::move(name), ControlKind::ComboBox) {}
  const std::string& Text() const { return text_; }
  void SetText(std::string text) { text_ = std::move(text); Changed(); }

 private:
  std::string text_;
};

class ProgressBar : public Control {
 public:
  ProgressBar(std::string name, int min = 0, int max = 100)
      : Control(std::move(name), ControlKind::ProgressBar), min_(min), max_(max) {}
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max) { min_ = min; max_ = max; position_ = std::clamp(position_, min_, max_); Changed(); }
  int Position() const { return position_; }
  void SetPosition(int position) { position_ = std::clamp(position, min_, max_); Changed(); }

 private:
  int min_;
  int max_;
  int position_ = 0;
};

// A status bar with a single text field.
class StatusBar : public Control {
 public:
  explicit StatusBar(std::string name) : Control(std::move(name), ControlKind::StatusBar) {}
  const std::string& SimpleText() const { return text_; }
  void SetSimpleText(std::string text) { text_ = std::move(text); Changed(); }

 private:
  std::string text_;
};

// A tabbed notebook: page captions in order and the page shown.
class PageControl : public Control {
 public:
  PageControl(std::string name, std::vector<std::string> pages, int activePage = 0)
      : Control(std::move(name), ControlKind::PageControl), pages_(std::move(pages)), active_(activePage) {}
  const std::vector<std::string>& Pages() const { return pages_; }
  int ActivePageIndex() const { return active_; }
  // Page changes only show the page.
  void SetActivePageIndex(int index) {
    active_ = std::clamp(index, 0, static_cast<int>(pages_.size()) - 1);
    Changed();
  }

 private:
  std::vector<std::string> pages_;
  int active_;
};

// An area the window paints itself; it holds no value.
class PaintBox : public Control {
 public:
  explicit PaintBox(std::string name) : Control(std::move(name), ControlKind::PaintBox) {}
};

}  // namespace fw::ui
