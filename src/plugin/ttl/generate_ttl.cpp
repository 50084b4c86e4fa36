// fretwerk-lv2-ttl OUTDIR PRESETDIR BINARY: writes the bundle's manifest.ttl,
// fretwerk.ttl and presets.ttl from the control model, started as the plugin starts
// it with the fixed presets of PRESETDIR, so ports, ranges and defaults follow the
// window's controls.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/presets/preset_operations.h"
#include "app/presets/preset_state.h"
#include "files/replacement_file.h"
#include "plugin/plugin_form.h"
#include "plugin/ttl/ttl_writer.h"

namespace fw::plugin {
namespace {

namespace fs = std::filesystem;

// Without the spaces the window pads its captions with.
std::string Trimmed(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// "page: caption", where the caption is the control's label, its own caption or its name.
std::vector<PortCaption> Captions(const TForm1& form, const std::vector<SoundControl>& controls) {
  std::vector<PortCaption> captions;
  for (const SoundControl& control : controls) {
    const ui::Control* self = form.Find(control.symbol);
    const ui::Control* label = form.Find("Label_" + control.symbol);
    std::string caption = Trimmed(label != nullptr ? label->Caption() : self->Caption());
    if (caption.empty()) caption = control.symbol;
    const std::string page = Trimmed(self->Page());
    captions.push_back({control.symbol, page.empty() ? caption : page + ": " + caption});
  }
  return captions;
}

// What a host shows for the fixed presets the window names.
std::string PresetLabel(const std::string& name) {
  static const std::map<std::string, std::string> labels = {
      {"all", "Default"}, {"clear", "Clean"}, {"dist1", "Distortion"}, {"hard", "Hard"}, {"solo1", "Solo"}};
  const auto found = labels.find(name);
  return found != labels.end() ? found->second : name;
}

PresetDescription DescribePreset(const fs::path& file, const std::string& presetDir) {
  PluginForm model(22050, presetDir);
  TForm1& form = model.form();
  LoadPresetFromPath(form, file.string());
  PresetDescription preset;
  preset.name = file.stem().string();
  preset.label = PresetLabel(preset.name);
  const auto& bytes = PresetsOf(form).record.bytes();
  preset.record.assign(bytes.begin(), bytes.end());
  for (std::size_t i = 0; i < model.Controls().size(); ++i) {
    if (model.Controls()[i].stored)
      preset.portValues.emplace_back(model.Controls()[i].symbol, model.Value(i));
  }
  return preset;
}

void Write(const fs::path& path, const std::string& text) {
  ReplaceFileContents(path.string(), text.data(), text.size());
}

int Generate(const fs::path& outDir, const std::string& presetDir, const std::string& binary) {
  PluginForm model(22050, presetDir);
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(presetDir)) {
    if (entry.path().extension() == ".pre") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<PresetDescription> presets;
  for (const fs::path& file : files) presets.push_back(DescribePreset(file, presetDir));

  fs::create_directories(outDir);
  Write(outDir / "manifest.ttl", ManifestTtl(binary, presets));
  Write(outDir / "fretwerk.ttl", PluginTtl(model.Controls(), Captions(model.form(), model.Controls())));
  Write(outDir / "presets.ttl", PresetsTtl(presets));
  return 0;
}

}  // namespace
}  // namespace fw::plugin

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: fretwerk-lv2-ttl OUTDIR PRESETDIR BINARY\n";
    return 2;
  }
  try {
    return fw::plugin::Generate(argv[1], argv[2], argv[3]);
  } catch (const std::exception& error) {
    std::cerr << "fretwerk-lv2-ttl: " << error.what() << "\n";
    return 1;
  }
}
