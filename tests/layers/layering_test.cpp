#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "layers/layer_rules.h"

namespace fw::test {
namespace {

TEST(Layers, NoSourceIncludesAHeaderOfAHigherLayer) {
  namespace fs = std::filesystem;
  const fs::path src = fs::path(FRETWERK_SOURCE_DIR) / "src";
  const std::regex include(R"re(^\s*#\s*include\s+"([^"]+)")re");
  std::vector<std::string> violations;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    const auto ext = entry.path().extension();
    if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
    ++files;
    const std::string file = fs::relative(entry.path(), src).generic_string();
    std::ifstream in(entry.path());
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      std::smatch m;
      if (auto name = DeviceNameIn(file, line)) {
        violations.push_back(file + ":" + std::to_string(number) + " names " + *name +
                             ": the dsp layer names no device");
      }
      if (!std::regex_search(line, m, include)) continue;
      if (auto why = IncludeViolation(file, m[1].str())) {
        violations.push_back(file + ":" + std::to_string(number) + " includes " + m[1].str() + ": " + *why);
      }
    }
  }
  EXPECT_GT(files, 100);
  for (const auto& v : violations) ADD_FAILURE() << v;
}

TEST(Layers, TheAllowedUsesFormNoCycle) {
  const auto& uses = AllowedUses();
  std::map<std::string, int> state;  // 0 unseen, 1 on the path, 2 done
  std::function<bool(const std::string&)> acyclic = [&](const std::string& layer) {
    if (state[layer] == 1) return false;
    if (state[layer] == 2) return true;
    state[layer] = 1;
    for (const auto& used : uses.at(layer)) {
      if (!acyclic(used)) return false;
    }
    state[layer] = 2;
    return true;
  };
  for (const auto& [layer, used] : uses) EXPECT_TRUE(acyclic(layer)) << layer;
}

// The dependencies the tree once had between its folders are each refused.
TEST(Layers, RefusesTheFolderCyclesTheTreeOnceHad) {
  const char* refused[][2] = {
      {"engine/engine.h", "audio/wave_input.h"},      {"engine/chain.cpp", "audio/output_library.h"},
      {"tone/tone_unit.cpp", "engine/engine.h"},      {"tone/tube_stages.cpp", "engine/engine.h"},
      {"presets/preset_commands.cpp", "app/form1.h"}, {"audio/realtime_control.cpp", "app/form1.h"},
      {"ui/window_loop.h", "engine/message_port.h"},  {"files/recorder.cpp", "ui/window_loop.h"},
      {"app/form1.cpp", "qt/main_window.h"},          {"modes/direct_modes.cpp", "app/form1.h"},
  };
  for (const auto& [file, header] : refused)
    EXPECT_TRUE(IncludeViolation(file, header)) << file << " -> " << header;
  const char* allowed[][2] = {
      {"engine/chain.cpp", "core/rounding.h"},
      {"tone/distortions.cpp", "engine/params.h"},
      {"audio/wave_in_chain.cpp", "engine/chain.h"},
      {"qt/main_window.cpp", "app/form1.h"},
      {"app/realtime/realtime_control.cpp", "audio/output_library.h"},
      {"app/realtime/realtime_control.cpp", "modes/direct_modes.h"},
  };
  for (const auto& [file, header] : allowed)
    EXPECT_FALSE(IncludeViolation(file, header)) << file << " -> " << header;
}

// The chain once took a wave-input header and posted the overload message itself.
TEST(Layers, RefusesDeviceShapesInTheDspLayer) {
  EXPECT_TRUE(IncludeViolation("engine/chain.cpp", "core/message_port.h"));
  EXPECT_TRUE(IncludeViolation("engine/chain_io.h", "audio/wave_in_buffers.h"));
  EXPECT_TRUE(DeviceNameIn("engine/chain.h", "void Process(WaveInHeader* header);"));
  EXPECT_TRUE(DeviceNameIn("tone/distortions.cpp", "messages->PostMessage(kOverloadMessage);"));
  EXPECT_FALSE(DeviceNameIn("engine/chain.h", "ChainResult Process(Driver, const std::int16_t* in);"));
  EXPECT_FALSE(
      DeviceNameIn("audio/wave_in_chain.cpp", "io.waveIn.device->AddBuffer(header, kWaveHeaderSize);"));
}

}  // namespace
}  // namespace fw::test
