#include "plugin/plugin_form.h"

#include <cmath>
#include <stdexcept>

#include "app/form1.h"
#include "app/startup/headless_start.h"
#include "app/system_services.h"
#include "engine/engine.h"
#include "ui/clock.h"
#include "ui/scripted_dialogs.h"
#include "ui/window_loop.h"

namespace fw::plugin {
namespace {

// The bundle stands in for the program directory, where the fixed presets live.
class BundleSystem final : public SystemServices {
 public:
  explicit BundleSystem(std::string directory) : directory_(std::move(directory)) {
    if (directory_.empty() || directory_.back() != '/') directory_ += '/';
  }
  std::int64_t TimeOfDayMs() override { return 0; }
  bool HasRing0Drivers() override { return false; }
  std::string ProgramDirectory() override { return directory_; }
  void RequestTerminate() override {}
  void EndProgramNow() override {}

 private:
  std::string directory_;
};

}  // namespace

struct PluginForm::Parts {
  explicit Parts(const std::string& bundleDirectory) : system(bundleDirectory) {
    Platform platform;
    platform.output = &output;
    platform.dialogs = &dialogs;
    platform.system = &system;
    form = std::make_unique<TForm1>(*engine, loop, platform);
  }

  std::unique_ptr<Engine> engine = MakeEngine();
  ui::FakeClock clock;
  ui::WindowLoop loop{clock};
  ui::ScriptedDialogs dialogs;
  PluginOutput output;
  BundleSystem system;
  std::unique_ptr<TForm1> form;
};

bool SupportedRate(double sampleRate) { return sampleRate == 22050.0 || sampleRate == 44100.0; }

PluginForm::PluginForm(int sampleRate, const std::string& bundleDirectory)
    : parts_(std::make_unique<Parts>(bundleDirectory)) {
  TForm1& form = *parts_->form;
  form.RunCommand([&form] { StartHeadless(form, ""); });
  if (!parts_->dialogs.errors.empty()) throw std::runtime_error(parts_->dialogs.errors.front());
  // The "44.1 kHz" option, as fretwerk-cli render --rate 44100 sets it.
  if (sampleRate == 44100) form.Box("CheckBox_AWE_44_1").SetChecked(true);
  controls_ = SoundControls(form);
  for (const SoundControl& control : controls_) bound_.push_back(form.Find(control.symbol));
}

PluginForm::~PluginForm() = default;

Engine& PluginForm::engine() { return *parts_->engine; }
TForm1& PluginForm::form() { return *parts_->form; }
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
