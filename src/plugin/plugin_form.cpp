#include "plugin/plugin_form.h"

#include <cmath>
#include <stdexcept>

#include "app/form1.h"
#include "app/startup/headless_window.h"
#include "engine/engine.h"

namespace fw::plugin {

struct PluginForm::Parts {
  explicit Parts(const std::string& bundleDirectory) : window(output, bundleDirectory) {}

  PluginOutput output;
  HeadlessWindow window;  // the bundle stands in for the program directory
};

int EngineRateFor(double hostRate) {
  if (hostRate == 22050.0) return 22050;
  if (hostRate == 44100.0 || hostRate == 48000.0 || hostRate == 88200.0 || hostRate == 96000.0) return 44100;
  return 0;
}

PluginForm::PluginForm(int sampleRate, const std::string& bundleDirectory)
    : parts_(std::make_unique<Parts>(bundleDirectory)) {
  parts_->window.Start(sampleRate);
  if (!parts_->window.dialogs.errors.empty()) throw std::runtime_error(parts_->window.dialogs.errors.front());
  TForm1& form = *parts_->window.form;
  controls_ = SoundControls(form);
  for (const SoundControl& control : controls_) bound_.push_back(form.Find(control.symbol));
}

PluginForm::~PluginForm() = default;

Engine& PluginForm::engine() { return *parts_->window.engine; }
TForm1& PluginForm::form() { return *parts_->window.form; }
const PluginOutput& PluginForm::output() const { return parts_->output; }

int PluginForm::Value(std::size_t index) const {
  const ui::Control* control = bound_[index];
  if (const auto* bar = dynamic_cast<const ui::ScrollBar*>(control)) return bar->Position();
  if (const auto* box = dynamic_cast<const ui::CheckBox*>(control)) return box->Checked() ? 1 : 0;
  return static_cast<const ui::RadioGroup*>(control)->ItemIndex();
}

void PluginForm::Move(std::size_t index, int value) {
  ui::Control* control = bound_[index];
  if (auto* bar = dynamic_cast<ui::ScrollBar*>(control)) {
    bar->SetPosition(value);
  } else if (auto* box = dynamic_cast<ui::CheckBox*>(control)) {
    box->SetChecked(value != 0);
  } else {
    static_cast<ui::RadioGroup*>(control)->SetItemIndex(value);
  }
}

}  // namespace fw::plugin
