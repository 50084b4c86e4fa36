// Setting a control from code behaves like the user moving it: the value is
// limited to the range first, and the handler fires once, only on a change.
#include <gtest/gtest.h>

#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/radio_group.h"
#include "ui/scroll_bar.h"
#include "ui/simple_controls.h"

namespace fw::ui {
namespace {

TEST(ScrollBar, LimitsThenFiresOnlyOnChange) {
  ScrollBar bar("ScrollBar_Test", 1, 30, 1);
  std::vector<int> seen;
  bar.OnChange = [&] { seen.push_back(bar.Position()); };
  bar.SetPosition(5);
  bar.SetPosition(5);   // same value: no handler
  bar.SetPosition(99);  // limited to 30 first
  bar.SetPosition(31);  // still 30: no handler
  bar.SetPosition(-4);  // limited to 1
  bar.SetPosition(0);   // still 1
  EXPECT_EQ(seen, (std::vector<int>{5, 30, 1}));
}

TEST(ScrollBar, InitialPositionIsLimitedAndFiresNothing) {
  ScrollBar bar("ScrollBar_Test", 0, 16, 40);
  EXPECT_EQ(bar.Position(), 16);
}

TEST(ScrollBar, AHandlerThatMovesItsOwnBarSeesTheNewPosition) {
  // The mirrored input gains rely on this: a handler may set its own bar again.
  ScrollBar bar("ScrollBar_Test", 0, 16, 1);
  int calls = 0;
  bar.OnChange = [&] {
    ++calls;
    if (bar.Position() == 0) bar.SetPosition(1);
  };
  bar.SetPosition(0);
  EXPECT_EQ(bar.Position(), 1);
  EXPECT_EQ(calls, 2);
}

TEST(CheckBox, FiresOnChangeOnlyAndClickToggles) {
  CheckBox box("CheckBox_Test", "Test");
  int clicks = 0;
  box.OnClick = [&] { ++clicks; };
  box.SetChecked(false);
  EXPECT_EQ(clicks, 0);
  box.SetChecked(true);
  box.SetChecked(true);
  EXPECT_EQ(clicks, 1);
  box.Click();
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(clicks, 2);
}

TEST(RadioGroup, IndexLimitedToMinusOneThroughLastItem) {
  RadioGroup group("RadioGroup_Test", "Test", {"a", "b", "c"}, 0);
  std::vector<int> seen;
  group.OnClick = [&] { seen.push_back(group.ItemIndex()); };
  group.SetItemIndex(7);   // limited to 2
  group.SetItemIndex(3);   // still 2
  group.SetItemIndex(-5);  // limited to -1
  group.SetItemIndex(1);
  EXPECT_EQ(seen, (std::vector<int>{2, -1, 1}));
}

TEST(RadioGroup, ReplacingTheItemsKeepsTheIndexInsideWithoutAClick) {
  RadioGroup group("RadioGroup_Test", "Test", {"a", "b", "c", "d"}, 3);
  int clicks = 0;
  group.OnClick = [&] { ++clicks; };
  group.SetItems({"x", "y"});
  EXPECT_EQ(group.ItemIndex(), 1);
  EXPECT_EQ(clicks, 0);
}

TEST(Button, ClickRunsTheHandlerEvenWhenDisabled) {
  Button button("Button_Test", "Go");
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  button.SetEnabled(false);
  button.Click();
  EXPECT_EQ(clicks, 1);
}

TEST(Observers, FollowEveryChangeButNotRepeats) {
  ScrollBar bar("ScrollBar_Test", 0, 10, 0);
  int changes = 0;
  bar.Observe([&](const Control&) { ++changes; });
  bar.SetPosition(3);
  bar.SetPosition(3);
  bar.SetCaption("x");
  EXPECT_EQ(changes, 2);
}

TEST(ListBox, SelectionLimitedAndFiresOnChange) {
  ListBox list("ListBox_Test");
  list.SetItems({"one", "two"});
  int changes = 0;
  list.OnChange = [&] { ++changes; };
  list.SetItemIndex(5);
  list.SetItemIndex(1);
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace fw::ui
