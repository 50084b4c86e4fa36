#include "plugin/ttl/ttl_writer.h"

#include <serd/serd.h>

#include <sstream>

#include "plugin/port_layout.h"
#include "plugin/sound_controls.h"

namespace fw::plugin {
namespace {

constexpr const char* kPrefixes =
    "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix log:   <http://lv2plug.in/ns/ext/log#> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix work:  <http://lv2plug.in/ns/ext/worker#> .\n"
    "@prefix xsd:   <http://www.w3.org/2001/XMLSchema#> .\n\n";

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string PresetUri(const PresetDescription& preset) {
  return std::string(kPluginUri) + "#preset-" + preset.name;
}

std::string Base64(const std::vector<unsigned char>& bytes) {
  SerdNode node = serd_node_new_blob(bytes.data(), bytes.size(), false);
  std::string text(reinterpret_cast<const char*>(node.buf), node.n_bytes);
  serd_node_free(&node);
  return text;
}

void FixedPorts(std::ostringstream& out) {
  out << "    [ a lv2:InputPort , lv2:AudioPort ; lv2:index " << kInputPort
      << " ; lv2:symbol \"in\" ; lv2:name \"Guitar In\" ] ,\n"
      << "    [ a lv2:OutputPort , lv2:AudioPort ; lv2:index " << kLeftPort
      << " ; lv2:symbol \"out_left\" ; lv2:name \"Out Left\" ] ,\n"
      << "    [ a lv2:OutputPort , lv2:AudioPort ; lv2:index " << kRightPort
      << " ; lv2:symbol \"out_right\" ; lv2:name \"Out Right\" ] ,\n"
      << "    [ a lv2:InputPort , lv2:ControlPort ; lv2:index " << kEnabledPort
      << " ; lv2:symbol \"enabled\" ; lv2:name \"Enabled\" ; lv2:designation lv2:enabled ;"
         " lv2:portProperty lv2:toggled ; lv2:default 1 ; lv2:minimum 0 ; lv2:maximum 1 ] ,\n"
      << "    [ a lv2:OutputPort , lv2:ControlPort ; lv2:index " << kLatencyPort
      << " ; lv2:symbol \"latency\" ; lv2:name \"Latency\" ; lv2:designation lv2:latency ;"
         " lv2:portProperty lv2:reportsLatency , lv2:integer , pprops:notOnGUI ;"
         " lv2:minimum 0 ; lv2:maximum 4096 ; units:unit units:frame ] ,\n";
  struct Meter {
    std::uint32_t index;
    const char* symbol;
    const char* name;
  };
  for (const Meter& meter : {Meter{kInputPeakPort, "input_peak", "Input Peak"},
                             Meter{kOutputPeakPort, "output_peak", "Output Peak"}}) {
    const auto& [index, symbol, name] = meter;
    out << "    [ a lv2:OutputPort , lv2:ControlPort ; lv2:index " << index << " ; lv2:symbol \"" << symbol
        << "\" ; lv2:name \"" << name << "\" ; lv2:default " << kMeterFloorDb << " ; lv2:minimum "
        << kMeterFloorDb << " ; lv2:maximum " << kMeterCeilingDb << " ; units:unit units:db ] ,\n";
  }
}

void ControlPort(std::ostringstream& out, std::uint32_t index, const SoundControl& control,
                 const std::string& name) {
  out << "    [ a lv2:InputPort , lv2:ControlPort ; lv2:index " << index << " ; lv2:symbol "
      << Quoted(control.symbol) << " ; lv2:name " << Quoted(name) << " ;\n      lv2:default "
      << control.initial << " ; lv2:minimum " << control.min << " ; lv2:maximum " << control.max << " ;\n";
  switch (control.kind) {
    case SoundControlKind::Bar:
      out << "      lv2:portProperty lv2:integer";
      break;
    case SoundControlKind::Box:
      out << "      lv2:portProperty lv2:toggled";
      break;
    case SoundControlKind::Group:
      out << "      lv2:portProperty lv2:integer , lv2:enumeration";
      for (std::size_t i = 0; i < control.items.size(); ++i) {
        out << " ;\n      lv2:scalePoint [ rdfs:label " << Quoted(control.items[i]) << " ; rdf:value " << i
            << " ]";
      }
      break;
  }
  out << " ]";
}

}  // namespace

std::string ManifestTtl(const std::string& binary, const std::vector<PresetDescription>& presets) {
  std::ostringstream out;
  out << kPrefixes << "<" << kPluginUri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << binary
      << "> ;\n    rdfs:seeAlso <fretwerk.ttl> .\n";
  for (const PresetDescription& preset : presets) {
    out << "\n<" << PresetUri(preset) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kPluginUri
        << "> ;\n    rdfs:label " << Quoted(preset.label) << " ;\n    rdfs:seeAlso <presets.ttl> .\n";
  }
  return out.str();
}

std::string PluginTtl(const std::vector<SoundControl>& controls, const std::vector<PortCaption>& captions) {
  std::ostringstream out;
  out << kPrefixes << "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n\n"
      << "<" << kPluginUri << ">\n"
      << "    a lv2:Plugin , lv2:DistortionPlugin ;\n"
      << "    doap:name \"Fretwerk\" ;\n"
      << "    rdfs:comment \"The whole Fretwerk guitar effect chain: distortions, filters, equalisers, tube "
         "stages, echo, flanger, reverb and the stereo chorus.\" ;\n"
      << "    lv2:minorVersion 18 ;\n    lv2:microVersion 0 ;\n"
      << "    lv2:optionalFeature lv2:hardRTCapable , urid:map , log:log , work:schedule ;\n"
      << "    lv2:extensionData state:interface , work:interface ;\n"
      << "    lv2:port\n";
  FixedPorts(out);
  for (std::size_t i = 0; i < controls.size(); ++i) {
    ControlPort(out, static_cast<std::uint32_t>(kFirstControlPort + i), controls[i], captions[i].name);
    out << (i + 1 < controls.size() ? " ,\n" : " .\n");
  }
  out << "\n<" << kPluginUri << "#record>\n    a rdf:Property ;\n    rdfs:label \"preset record\" ;\n"
      << "    rdfs:comment \"The 416 bytes of a preset file: every stored control and the tube words.\" ;\n"
      << "    rdfs:range atom:Chunk .\n";
  return out.str();
}

std::string PresetsTtl(const std::vector<PresetDescription>& presets) {
  std::ostringstream out;
  out << kPrefixes;
  for (const PresetDescription& preset : presets) {
    out << "<" << PresetUri(preset) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kPluginUri
        << "> ;\n    rdfs:label " << Quoted(preset.label) << " ;\n    lv2:port\n";
    for (std::size_t i = 0; i < preset.portValues.size(); ++i) {
      out << "        [ lv2:symbol " << Quoted(preset.portValues[i].first) << " ; pset:value "
          << preset.portValues[i].second << ".0 ]" << (i + 1 < preset.portValues.size() ? " ,\n" : " ;\n");
    }
    out << "    state:state [\n        <" << kPluginUri << "#record> \"" << Base64(preset.record)
        << "\"^^xsd:base64Binary\n    ] .\n\n";
  }
  return out.str();
}

}  // namespace fw::plugin
