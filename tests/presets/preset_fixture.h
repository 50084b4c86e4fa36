#pragma once
// A form whose program directory is a fresh temporary directory, with helpers to
// write preset files there and read the stored controls back.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "presets/preset_record.h"
#include "support/engine_fixture.h"
#include "support/fake_system_services.h"
#include "support/temp_dir.h"

namespace fw::test {

// The stored controls that the window itself does not build (yet).
std::vector<std::string> MissingStoredControls(const TForm1& form);

void WriteRecord(const std::filesystem::path& path, const PresetRecord& record);

struct PresetFixture {
  TempDir dir;
  FakeSystemServices system;
  FormFixture f;
  TForm1& form;

  PresetFixture();
  Engine& engine() const { return *f.engine; }
  std::filesystem::path File(const std::string& name) const { return dir.path() / name; }
  // A record with the initial positions and the volume set to mark which file it is.
  void WritePreset(const std::string& name, int volume) const;
};

// Definitions.

inline std::vector<std::string> MissingStoredControls(const TForm1& form) {
  std::vector<std::string> missing;
  for (const auto& stored : kStoredControls) {
    if (form.Find(stored.name) == nullptr) missing.emplace_back(stored.name);
  }
  return missing;
}

inline void WriteRecord(const std::filesystem::path& path, const PresetRecord& record) {
  WriteBytes(path, std::vector<std::uint8_t>(record.bytes().begin(), record.bytes().end()));
}

namespace detail {
inline Platform WithSystem(FakeSystemServices& system) {
  Platform platform;
  platform.system = &system;
  return platform;
}
}  // namespace detail

inline PresetFixture::PresetFixture() : f(detail::WithSystem(system)), form(*f.form) {
  system.programDirectory = dir.WithSeparator();
}

inline void PresetFixture::WritePreset(const std::string& name, int volume) const {
  PresetRecord record = InitialPresetRecord();
  record.SetInt(FindStoredControl("ScrollBar_OutPut_Volume")->offset, volume);
  WriteRecord(File(name), record);
}

}  // namespace fw::test
