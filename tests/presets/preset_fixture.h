#pragma once
// A form whose program directory is a fresh temporary directory, with helpers to
// write preset files there and to stand in for stored controls not built yet.
#include <cstdint>
#include <filesystem>
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

// Gives every stored control that no page builds yet a plain control with the
// table's range and initial position, so the record can be exercised in full.
void AddMissingStoredControls(TForm1& form);
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

  explicit PresetFixture(bool standIns = true);
  std::filesystem::path File(const std::string& name) const { return dir.path() / name; }
  // A record with the initial positions and the volume set to mark which file it is.
  void WritePreset(const std::string& name, int volume) const;
};

}  // namespace fw::test
