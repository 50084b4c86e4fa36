#include <gtest/gtest.h>

#include "support/engine_fixture.h"

namespace fw {
namespace {

TEST(InputGains, DelInAtZeroGivesHalfWhenDriveIsAtOne) {
  test::FormFixture f;
  f.form->Bar("ScrollBar_del_in").SetPosition(0);
  EXPECT_EQ(f.form->Bar("ScrollBar_Digital_IN_Gain").Position(), 1);
  EXPECT_FLOAT_EQ(f.engine->params.InputGain.load(), 0.5f);
}

TEST(InputGains, DelInAtZeroFromAnotherDriveMovesBothToOne) {
  test::FormFixture f;
  f.form->Bar("ScrollBar_Digital_IN_Gain").SetPosition(5);
  EXPECT_EQ(f.form->Bar("ScrollBar_del_in").Position(), 5);
  EXPECT_FLOAT_EQ(f.engine->params.InputGain.load(), 5.0f);
  f.form->Bar("ScrollBar_del_in").SetPosition(0);
  EXPECT_EQ(f.form->Bar("ScrollBar_Digital_IN_Gain").Position(), 1);
  EXPECT_EQ(f.form->Bar("ScrollBar_del_in").Position(), 1);
  EXPECT_FLOAT_EQ(f.engine->params.InputGain.load(), 1.0f);
}

}  // namespace
}  // namespace fw
