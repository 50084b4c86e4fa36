// Preset and render writes go through a file written beside the target: a full disk
// (injected) must leave the old file intact and name the file and the reason.
#include "files/replacement_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "files/files_test_support.h"
#include "files/io_error.h"
#include "files/sound_file.h"

namespace fw {
namespace {

ssize_t FullDiskWrite(int, const void*, std::size_t) {
  errno = ENOSPC;
  return -1;
}

int DelayedFullDiskClose(int fd) {
  ::close(fd);
  errno = ENOSPC;
  return -1;
}

// A write that takes one byte at a time, as a pipe or a signal may cut writes short.
ssize_t OneByteWrite(int fd, const void* data, std::size_t) { return ::write(fd, data, 1); }

std::size_t FilesIn(const std::string& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(ReplacementFile, AFailedWriteOrCloseKeepsTheOldFileAndNamesTheReason) {
  test::TempDir dir;
  const std::string path = dir / "solo.pre";
  test::WriteBytes(path, {1, 2, 3});
  const std::uint8_t fresh[4] = {9, 9, 9, 9};
  for (const FileCalls calls :
       {FileCalls{FullDiskWrite, ::fsync, ::close}, FileCalls{::write, ::fsync, DelayedFullDiskClose}}) {
    try {
      ReplaceFileContents(path, fresh, sizeof fresh, calls);
      ADD_FAILURE() << "no error";
    } catch (const IoError& error) {
      EXPECT_STREQ(error.what(), "I/O error 28");
      EXPECT_EQ(error.Detail(), "cannot write " + path + ": No space left on device");
    }
    EXPECT_EQ(test::ReadBytes(path), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(FilesIn(dir / ""), 1u) << "the temporary file is left behind";
  }
}

TEST(ReplacementFile, ShortWritesAreResumedAndALinkKeepsPointingAtTheNewContents) {
  test::TempDir dir;
  const std::string real = dir / "real.pre";
  const std::string link = dir / "link.pre";
  test::WriteBytes(real, {1});
  std::filesystem::create_symlink(real, link);
  const std::uint8_t fresh[3] = {7, 8, 9};
  ReplaceFileContents(link, fresh, sizeof fresh, FileCalls{OneByteWrite, ::fsync, ::close});
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(test::ReadBytes(real), (std::vector<std::uint8_t>{7, 8, 9}));
}

TEST(ReplacementFile, RenderOutputOnAFullDiskFailsWithTheReason) {
  test::TempDir dir;
  const std::string raw = dir / "out.raw";
  const std::string wav = dir / "out.wav";
  test::WriteBytes(raw, {5, 5});
  for (const std::string& path : {raw, wav}) {
    try {
      WriteSound(path, std::vector<std::int16_t>(10, 100), 1, 22050,
                 FileCalls{::write, ::fsync, DelayedFullDiskClose});
      ADD_FAILURE() << "no error for " << path;
    } catch (const SoundFileError& error) {
      EXPECT_EQ(std::string(error.what()), "cannot write " + path + ": No space left on device");
    }
  }
  EXPECT_EQ(test::ReadBytes(raw), (std::vector<std::uint8_t>{5, 5}));
  EXPECT_FALSE(std::filesystem::exists(wav));
  // A device is written in place, never replaced: /dev/full refuses every byte.
  if (std::filesystem::exists("/dev/full")) {
    std::filesystem::create_symlink("/dev/full", dir / "full.raw");
    EXPECT_THROW(WriteSound(dir / "full.raw", std::vector<std::int16_t>(10, 1), 1, 22050), SoundFileError);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
  }
}

TEST(ReplacementFile, ALinkSomeoneElsePlantedInASharedDirectoryIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "planting a link owned by another user needs root";
  test::TempDir dir;
  const std::string victim = dir / "victim.rc";
  const std::string shared = dir / "shared";
  const std::string link = shared + "/out.wav";
  test::WriteBytes(victim, {1});
  std::filesystem::create_directory(shared);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  std::filesystem::create_symlink(victim, link);
  ASSERT_EQ(::lchown(link.c_str(), 65534, 65534), 0);
  const std::uint8_t fresh[2] = {6, 6};
  try {
    ReplaceFileContents(link, fresh, sizeof fresh);
    ADD_FAILURE() << "the planted link was followed";
  } catch (const IoError& error) {
    EXPECT_NE(error.Detail().find("cannot write " + link + ": "), std::string::npos) << error.Detail();
  }
  EXPECT_EQ(test::ReadBytes(victim), (std::vector<std::uint8_t>{1}));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  // The user's own link there is followed.
  ASSERT_EQ(::lchown(link.c_str(), ::geteuid(), ::getegid()), 0);
  ReplaceFileContents(link, fresh, sizeof fresh);
  EXPECT_EQ(test::ReadBytes(victim), (std::vector<std::uint8_t>{6, 6}));
}

TEST(ReplacementFile, NewFilesFollowTheUmaskAndReplacedOnesLoseSetIdBits) {
  test::TempDir dir;
  const std::string fresh = dir / "new.pre";
  const std::string old = dir / "old.pre";
  const std::uint8_t bytes[1] = {3};
  const mode_t saved = ::umask(077);
  ReplaceFileContents(fresh, bytes, sizeof bytes);
  ::umask(saved);
  test::WriteBytes(old, {1});
  ASSERT_EQ(::chmod(old.c_str(), 06750), 0);
  ReplaceFileContents(old, bytes, sizeof bytes);
  struct stat status {};
  ASSERT_EQ(::stat(fresh.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);
  ASSERT_EQ(::stat(old.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0750u);
}

}  // namespace
}  // namespace fw
