// Preset and render writes go through a file written beside the target: a full disk
// (injected) must leave the old file intact and name the file and the reason.
#include "files/replacement_file.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace fw
