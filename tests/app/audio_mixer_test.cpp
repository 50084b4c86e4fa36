#include "app/audio_mixer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fw {
namespace {

namespace fs = std::filesystem;

void MakeProgram(const fs::path& path) {
  std::ofstream(path) << "#!/bin/sh\n";
  fs::permissions(path, fs::perms::owner_all);
}

TEST(AudioMixer, FirstKnownMixerOnThePathOrNothing) {
  const fs::path root = fs::temp_directory_path() / ("fretwerk-mixer-" + std::to_string(::getpid()));
  fs::create_directories(root / "a");
  fs::create_directories(root / "b");
  const std::string path = (root / "a").string() + "::" + (root / "b").string();
  EXPECT_EQ(FindAudioMixer(path), "");
  std::ofstream(root / "a" / "pavucontrol") << "not executable";
  MakeProgram(root / "b" / "qpwgraph");
  EXPECT_EQ(FindAudioMixer(path), (root / "b" / "qpwgraph").string());
  MakeProgram(root / "b" / "pavucontrol");
  EXPECT_EQ(FindAudioMixer(path), (root / "b" / "pavucontrol").string());
  fs::remove_all(root);
}

}  // namespace
}  // namespace fw
