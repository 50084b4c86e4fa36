#pragma once
// A form whose program directory is a fresh temporary directory, with helpers to
// write and read preset files there.
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "presets/fake_system_services.h"
#include "presets/preset_record.h"
#include "support/engine_fixture.h"

namespace fw::test {

class TempDirectory {
 public:
  TempDirectory();
  ~TempDirectory();
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // The directory with its trailing separator, as the program directory is given.
  std::string WithSeparator() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

// The stored controls that the window itself does not build (yet).
std::vector<std::string> MissingStoredControls(const TForm1& form);

// The value of a stored control as the record holds it.
int StoredValue(const TForm1& form, const StoredControl& stored);

void WriteRecord(const std::filesystem::path& path, const PresetRecord& record);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);

struct PresetFixture {
  TempDirectory dir;
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

inline TempDirectory::TempDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "fretwerk-presets-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

inline TempDirectory::~TempDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

inline std::vector<std::string> MissingStoredControls(const TForm1& form) {
  std::vector<std::string> missing;
  for (const auto& stored : kStoredControls) {
    if (form.Find(stored.name) == nullptr) missing.emplace_back(stored.name);
  }
  return missing;
}

inline int StoredValue(const TForm1& form, const StoredControl& stored) {
  switch (stored.kind) {
    case StoredKind::ScrollBar:
      return form.Bar(stored.name).Position();
    case StoredKind::RadioGroup:
      return form.Group(stored.name).ItemIndex();
    case StoredKind::CheckBox:
      return form.Box(stored.name).Checked() ? 1 : 0;
  }
  return 0;
}

inline void WriteRecord(const std::filesystem::path& path, const PresetRecord& record) {
  WriteBytes(path, std::vector<std::uint8_t>(record.bytes().begin(), record.bytes().end()));
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
