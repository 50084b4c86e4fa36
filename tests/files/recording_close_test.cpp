#include <gtest/gtest.h>

#include "app/realtime/realtime_control.h"
#include "files/recording_fixture.h"

namespace fw {
namespace {

// Closing the window while recording finishes the take: header and samples on disk.
TEST(Recording, ClosingTheWindowFinishesTheTake) {
  test::RecordingFixture r;
  r.params().RecordClean.store(1);
  r.Start();
  r.Blocks(3);
  Realtime(r.form()).FormCloseQuery();
  const auto file = test::ReadBytes(r.File());
  ASSERT_EQ(file.size(), 128u + 1320u);
  EXPECT_EQ(test::BigEndian32(file, 8), 1320u);
  EXPECT_FALSE(r.form().Btn("BitBtn_Stop_R").Enabled());
  // A second close has nothing left to finish.
  Realtime(r.form()).FormCloseQuery();
  EXPECT_EQ(test::ReadBytes(r.File()).size(), 128u + 1320u);
}

}  // namespace
}  // namespace fw
