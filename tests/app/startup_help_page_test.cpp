#include <gtest/gtest.h>

#include <filesystem>

#include "support/engine_fixture.h"
#include "support/recording_shell.h"
#include "support/test_paths.h"

namespace fw {
namespace {

TEST(HelpPage, TwelveLinesAndLinksThatOpenInTheBrowser) {
  test::RecordingShell shell;
  Platform platform;
  platform.shell = &shell;
  test::FormFixture f(platform);
  const auto& lines = f.form->Get<ui::ListBox>("ListBox2").Items();
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[1], "Plug in a guitar into a sound card's line or mic input,");
  EXPECT_EQ(lines[2], "run this software and enjoy with Stereo Reverb,");
  EXPECT_EQ(lines[3], "Chorus, Flanger, Delay, Distortion, Filters.");
  EXPECT_NE(lines[0].find("Fretwerk"), std::string::npos);
  for (const char* name : {"BitBtn_MainHelp", "BitBtn_HelpOnLine1", "BitBtn_ForRussian", "BitBtn3"}) {
    f.form->Btn(name).Click();
  }
  ASSERT_EQ(shell.opened.size(), 4u);
  for (const auto& address : shell.opened) EXPECT_EQ(address.rfind("https://", 0), 0u) << address;
}

TEST(HelpPage, TheLocalGuideSitsBesideTheExecutables) {
  EXPECT_TRUE(std::filesystem::is_regular_file(test::SourceDir() + "/data/help_nd.htm"));
  EXPECT_TRUE(std::filesystem::is_regular_file(test::BinaryDir() + "/help_nd.htm"));
}

}  // namespace
}  // namespace fw
