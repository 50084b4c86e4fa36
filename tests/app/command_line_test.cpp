#include "app/startup/command_line.h"

#include <gtest/gtest.h>

#include "support/fake_system_services.h"
#include "support/recording_shell.h"

namespace fw {
namespace {

TEST(CommandLine, Rules) {
  EXPECT_EQ(PlanStart({}).mode, StartMode::Normal);
  EXPECT_TRUE(PlanStart({}).openHelpPage);
  EXPECT_EQ(PlanStart({"1"}).mode, StartMode::NoTaskbarButton);
  EXPECT_FALSE(PlanStart({"1"}).openHelpPage);
  EXPECT_EQ(PlanStart({"2"}).mode, StartMode::EndAtOnce);
  EXPECT_EQ(PlanStart({"11"}).mode, StartMode::EndAtOnce);
  EXPECT_EQ(PlanStart({""}).mode, StartMode::EndAtOnce);
  EXPECT_EQ(PlanStart({"1", "2"}).mode, StartMode::Normal);
  EXPECT_FALSE(PlanStart({"1", "2"}).openHelpPage);
  EXPECT_EQ(PlanStart({"a", "b", "c"}).mode, StartMode::Normal);
}

TEST(CommandLine, NoArgumentOpensTheLocalHelpPage) {
  test::FakeSystemServices system;
  system.programDirectory = "/opt/fretwerk/";
  test::RecordingShell shell;
  EXPECT_TRUE(RunProgramEntry(PlanStart({}), system, &shell));
  EXPECT_EQ(shell.opened, std::vector<std::string>{"/opt/fretwerk/help_nd.htm"});
  EXPECT_EQ(system.endNowCalls, 0);
}

TEST(CommandLine, AnyOtherSingleArgumentEndsAtOnceWithoutHelp) {
  test::FakeSystemServices system;
  test::RecordingShell shell;
  EXPECT_FALSE(RunProgramEntry(PlanStart({"2"}), system, &shell));
  EXPECT_EQ(system.endNowCalls, 1);
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_TRUE(RunProgramEntry(PlanStart({"1"}), system, &shell));
  EXPECT_TRUE(RunProgramEntry(PlanStart({"x", "y"}), system, nullptr));
  EXPECT_EQ(system.endNowCalls, 1);
  EXPECT_TRUE(shell.opened.empty());
}

}  // namespace
}  // namespace fw
