// The record table against the controls the window builds: same kind, range and
// initial position for every stored control.
#include <gtest/gtest.h>

#include "presets/preset_fixture.h"

namespace fw {
namespace {

TEST(PresetTableAgainstWindow, EveryBuiltStoredControlHasTheTablesRangeAndInitialPosition) {
  test::FormFixture f;
  for (const auto& stored : kStoredControls) {
    const ui::Control* control = f.form->Find(stored.name);
    if (control == nullptr) continue;
    switch (stored.kind) {
      case StoredKind::ScrollBar: {
        const auto* bar = dynamic_cast<const ui::ScrollBar*>(control);
        ASSERT_NE(bar, nullptr) << stored.name;
        EXPECT_EQ(bar->Min(), stored.min) << stored.name;
        EXPECT_EQ(bar->Max(), stored.max) << stored.name;
        EXPECT_EQ(bar->Position(), stored.initial) << stored.name;
        break;
      }
      case StoredKind::RadioGroup: {
        const auto* group = dynamic_cast<const ui::RadioGroup*>(control);
        ASSERT_NE(group, nullptr) << stored.name;
        EXPECT_EQ(static_cast<int>(group->Items().size()), stored.max + 1) << stored.name;
        EXPECT_EQ(group->ItemIndex(), stored.initial) << stored.name;
        break;
      }
      case StoredKind::CheckBox: {
        const auto* box = dynamic_cast<const ui::CheckBox*>(control);
        ASSERT_NE(box, nullptr) << stored.name;
        EXPECT_EQ(box->Checked() ? 1 : 0, stored.initial) << stored.name;
        break;
      }
    }
  }
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

TEST(PresetTableAgainstWindow, TheWindowBuildsEveryStoredControl) {
  test::FormFixture f;
  EXPECT_EQ(test::MissingStoredControls(*f.form), std::vector<std::string>{});
  EXPECT_NE(f.form->Find("CheckBox_TypeOfTrash"), nullptr);
}

}  // namespace
}  // namespace fw
