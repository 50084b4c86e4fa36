#include <gtest/gtest.h>

#include <vector>

#include "support/engine_fixture.h"

namespace fw {
namespace {

TEST(BrightnessControls, GroupAsTheWindowShowsIt) {
  test::FormFixture f;
  const auto& group = f.form->Group("RadioGroup_elipsF");
  EXPECT_EQ(group.Caption(), " Brightness ");
  EXPECT_EQ(group.Items(), (std::vector<std::string>{"Black", "Gray", "White", "Light", "Ultra"}));
  EXPECT_EQ(group.ItemIndex(), 0);
  EXPECT_EQ(group.Columns(), 5);
  EXPECT_EQ(group.Page(), "Filters 2");
  EXPECT_EQ(f.engine->elliptic.order.load(), 0);  // no selection until the handler runs
}

TEST(BrightnessControls, ClickSelectsTheSet) {
  test::FormFixture f;
  f.form->Group("RadioGroup_elipsF").SetItemIndex(4);
  EXPECT_EQ(f.engine->elliptic.order.load(), 6);
  EXPECT_EQ(f.engine->elliptic.b[0].load(), 0.109112576f);
  f.form->Group("RadioGroup_elipsF").SetItemIndex(3);
  EXPECT_EQ(f.engine->elliptic.order.load(), 5);
  EXPECT_EQ(f.engine->elliptic.b[0].load(), 0.0387666002f);
}

}  // namespace
}  // namespace fw
