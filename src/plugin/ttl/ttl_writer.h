#pragma once
// The bundle's Turtle files, written from the control model: the manifest, the
// plugin's description with one port per sound control, and the fixed presets.
#include <string>
#include <vector>

namespace fw::plugin {

struct SoundControl;

// One fixed preset as an LV2 preset: the record bytes of its file and the stored
// controls' values after loading it.
struct PresetDescription {
  std::string name;   // file name without ".pre" ("clear")
  std::string label;  // what a host shows ("Clean")
  std::vector<unsigned char> record;
  std::vector<std::pair<std::string, int>> portValues;
};

// The captions of the port names: "page: caption" of the control or its label.
struct PortCaption {
  std::string symbol;
  std::string name;
};

std::string ManifestTtl(const std::string& binary, const std::vector<PresetDescription>& presets);
std::string PluginTtl(const std::vector<SoundControl>& controls, const std::vector<PortCaption>& captions);
std::string PresetsTtl(const std::vector<PresetDescription>& presets);

}  // namespace fw::plugin
