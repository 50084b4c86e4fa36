#include <gtest/gtest.h>

#include <vector>

#include "support/engine_fixture.h"

namespace fw {
namespace {

TEST(BrightnessControls, ClickSelectsTheSet) {
  test::FormFixture f;
  EXPECT_EQ(f.engine->elliptic.order.load(), 0);  // no selection until the handler runs
  f.form->Group("RadioGroup_elipsF").SetItemIndex(4);
  EXPECT_EQ(f.engine->elliptic.order.load(), 6);
  EXPECT_EQ(f.engine->elliptic.b[0].load(), 0.109112576f);
  f.form->Group("RadioGroup_elipsF").SetItemIndex(3);
  EXPECT_EQ(f.engine->elliptic.order.load(), 5);
  EXPECT_EQ(f.engine->elliptic.b[0].load(), 0.0387666002f);
}

}  // namespace
}  // namespace fw
