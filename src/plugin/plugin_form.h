#pragma once
// The window's logic inside the plugin: an engine and a TForm1 started as fretwerk-cli
// render starts them (the activation sequence loads "clear.pre" from the bundle), and
// the sound controls as ports. Not for the audio thread: handlers run here.
#include <memory>
#include <string>
#include <vector>

#include "plugin/plugin_output.h"
#include "plugin/sound_controls.h"

namespace fw {
class TForm1;
struct Engine;
namespace ui {
class Control;
}
}  // namespace fw

namespace fw::plugin {

class PluginForm {
 public:
  // sampleRate: 22050 or 44100. Throws std::runtime_error saying what failed.
  PluginForm(int sampleRate, const std::string& bundleDirectory);
  ~PluginForm();
  PluginForm(const PluginForm&) = delete;
  PluginForm& operator=(const PluginForm&) = delete;

  Engine& engine();
  TForm1& form();
  const PluginOutput& output() const;

  const std::vector<SoundControl>& Controls() const { return controls_; }
  int Value(std::size_t index) const;
  void Move(std::size_t index, int value);

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
  std::vector<SoundControl> controls_;
  std::vector<ui::Control*> bound_;
};

// The rate the chain runs at in a host at hostRate: the host's own for 22050 and 44100,
// 44100 behind resamplers for 48000, 88200 and 96000; 0 for any other rate.
int EngineRateFor(double hostRate);

}  // namespace fw::plugin
