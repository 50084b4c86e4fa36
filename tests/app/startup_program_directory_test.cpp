#include <gtest/gtest.h>

#include <fstream>

#include "app/linux_system_services.h"
#include "support/temp_dir.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& path, const std::string& text = "x") {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

TEST(ProgramDirectory, FretwerkHomeWinsAndGetsItsSeparator) {
  ProgramDirectoryInputs inputs;
  inputs.fretwerkHome = "/opt/fw";
  inputs.executableDirectory = "/usr/bin";
  EXPECT_EQ(ResolveProgramDirectory(inputs), "/opt/fw/");
  inputs.fretwerkHome = "/opt/fw/";
  EXPECT_EQ(ResolveProgramDirectory(inputs), "/opt/fw/");
}

TEST(ProgramDirectory, ExecutableDirectoryWhenTheFixedPresetsAreBesideIt) {
  test::TempDir dir;
  Touch(dir.path() / "bin" / "clear.pre");
  ProgramDirectoryInputs inputs;
  inputs.executableDirectory = (dir.path() / "bin").string();
  inputs.xdgDataHome = (dir.path() / "data").string();
  EXPECT_EQ(ResolveProgramDirectory(inputs), (dir.path() / "bin").string() + "/");
  EXPECT_FALSE(fs::exists(dir.path() / "data"));
}

TEST(ProgramDirectory, UserDataDirectoryIsCreatedAndFilledWithoutOverwriting) {
  test::TempDir dir;
  Touch(dir.path() / "share" / "clear.pre", "shipped");
  Touch(dir.path() / "share" / "all.pre", "shipped");
  Touch(dir.path() / "share" / "help_nd.htm", "help");
  Touch(dir.path() / "share" / "notes.txt");
  Touch(dir.path() / "data" / "fretwerk" / "all.pre", "mine");
  ProgramDirectoryInputs inputs;
  inputs.executableDirectory = (dir.path() / "bin").string();
  inputs.installedDataDirectory = (dir.path() / "share").string();
  inputs.xdgDataHome = (dir.path() / "data").string();
  const fs::path user = dir.path() / "data" / "fretwerk";
  EXPECT_EQ(ResolveProgramDirectory(inputs), user.string() + "/");
  EXPECT_TRUE(fs::exists(user / "clear.pre"));
  EXPECT_TRUE(fs::exists(user / "help_nd.htm"));
  EXPECT_FALSE(fs::exists(user / "notes.txt"));
  std::ifstream mine(user / "all.pre");
  std::string text;
  mine >> text;
  EXPECT_EQ(text, "mine");
}

TEST(ProgramDirectory, HomeLocalShareWithoutXdgDataHome) {
  test::TempDir dir;
  ProgramDirectoryInputs inputs;
  inputs.home = dir.path().string();
  EXPECT_EQ(ResolveProgramDirectory(inputs), (dir.path() / ".local" / "share" / "fretwerk").string() + "/");
  EXPECT_TRUE(fs::is_directory(dir.path() / ".local" / "share" / "fretwerk"));
}

TEST(ProgramDirectory, WithoutHomeTheAccountsHomeAndNeverADirectoryOthersWrite) {
  test::TempDir dir;
  ProgramDirectoryInputs inputs;
  inputs.accountHome = dir.path().string();
  const fs::path user = dir.path() / ".local" / "share" / "fretwerk";
  EXPECT_EQ(ResolveProgramDirectory(inputs), user.string() + "/");
  // The running process finds its account's home without HOME.
  EXPECT_TRUE(CurrentProgramDirectoryInputs().accountHome.has_value());

  // Planted by someone else, or opened to everyone: refused, not used.
  fs::permissions(user, fs::perms::all);
  EXPECT_THROW(ResolveProgramDirectory(inputs), ProgramDirectoryRefused);
  fs::remove(user);
  fs::create_directory_symlink(dir.path(), user);
  EXPECT_THROW(ResolveProgramDirectory(inputs), ProgramDirectoryRefused);
}

TEST(LinuxSystemServices, AFatalEndClosesInOrderAndFails) {
  int closes = 0;
  LinuxSystemServices system([&] { ++closes; });
  EXPECT_FALSE(system.EndedOnFailure());
  system.EndProgramNow();  // the test program goes on: no exit behind the window's back
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(system.EndedOnFailure());
}

TEST(LinuxSystemServices, TimeOfDayIsWithinOneDayAndNoRing0) {
  LinuxSystemServices system;
  const auto now = system.TimeOfDayMs();
  EXPECT_GE(now, 0);
  EXPECT_LT(now, 24LL * 3600 * 1000);
  EXPECT_FALSE(system.HasRing0Drivers());
  bool asked = false;
  LinuxSystemServices withQuit([&asked] { asked = true; });
  withQuit.RequestTerminate();
  EXPECT_TRUE(asked);
}

}  // namespace
}  // namespace fw
