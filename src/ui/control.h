#pragma once
// The control model: named controls with the window's common properties. Setting a
// value from code behaves like the user moving the control: the value is limited to
// the control's range and the change handler fires, at once, only when it changes.
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace fw::ui {

enum class ControlKind {
  ScrollBar, CheckBox, RadioGroup, Button, Label, Edit, ListBox, ComboBox,
  ProgressBar, StatusBar, PageControl, PaintBox,
};

class Control {
 public:
  using Observer = std::function<void(const Control&)>;

  Control(std::string name, ControlKind kind) : name_(std::move(name)), kind_(kind) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return kind_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) { caption_ = std::move(caption); Changed(); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; Changed(); }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; Changed(); }
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint) { hint_ = std::move(hint); Changed(); }
  // The page (tab) that holds the control, for the window's layout.
  const std::string& Page() const { return page_; }
  void SetPage(std::string page) { page_ = std::move(page); }

  // A view follows every change of the control through its observers.
  void Observe(Observer observer) { observers_.push_back(std::move(observer)); }

 protected:
  void Changed() const {
    for (const auto& observer : observers_) observer(*this);
  }

 private:
  std::string name_;
  ControlKind kind_;
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string hint_;
  std::string page_;
  std::vector<Observer> observers_;
};

using Handler = std::function<void()>;

}  // namespace fw::ui
