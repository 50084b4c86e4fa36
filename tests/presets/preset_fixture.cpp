#include "presets/preset_fixture.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fw::test {

TempDirectory::TempDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "fretwerk-presets-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDirectory::~TempDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void AddMissingStoredControls(TForm1& form) {
  for (const auto& stored : kStoredControls) {
    if (form.Find(stored.name) != nullptr) continue;
    const std::string name(stored.name);
    switch (stored.kind) {
      case StoredKind::ScrollBar:
        form.AddScrollBar(name, "test", stored.min, stored.max, stored.initial);
        break;
      case StoredKind::RadioGroup:
        form.AddRadioGroup(name, "test", name,
                           std::vector<std::string>(static_cast<std::size_t>(stored.max + 1), "item"),
                           stored.initial);
        break;
      case StoredKind::CheckBox:
        form.AddCheckBox(name, "test", name, stored.initial != 0);
        break;
    }
  }
  if (form.Find("CheckBox_TypeOfTrash") == nullptr)
    form.AddCheckBox("CheckBox_TypeOfTrash", "test", "Ordinary");
}

std::vector<std::string> MissingStoredControls(const TForm1& form) {
  std::vector<std::string> missing;
  for (const auto& stored : kStoredControls) {
    if (form.Find(stored.name) == nullptr) missing.emplace_back(stored.name);
  }
  return missing;
}

int StoredValue(const TForm1& form, const StoredControl& stored) {
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

void WriteRecord(const std::filesystem::path& path, const PresetRecord& record) {
  WriteBytes(path, std::vector<std::uint8_t>(record.bytes().begin(), record.bytes().end()));
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {
Platform WithSystem(FakeSystemServices& system) {
  Platform platform;
  platform.system = &system;
  return platform;
}
}  // namespace

PresetFixture::PresetFixture(bool standIns) : f(WithSystem(system)), form(*f.form) {
  system.programDirectory = dir.WithSeparator();
  if (standIns) AddMissingStoredControls(form);
}

void PresetFixture::WritePreset(const std::string& name, int volume) const {
  PresetRecord record = InitialPresetRecord();
  record.SetInt(FindStoredControl("ScrollBar_OutPut_Volume")->offset, volume);
  WriteRecord(File(name), record);
}

}  // namespace fw::test
