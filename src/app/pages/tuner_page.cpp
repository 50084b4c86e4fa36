// The "Tuner" page: the tuner's switch, the output's mute while tuning, the
// reference pitch, the reading (drawn by the view), and the input and output level meters. One timer
// reads the meters' words and the tuner's copy of the input off the audio thread.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/form1.h"
#include "app/midi/midi_control.h"
#include "app/pages/pages.h"
#include "app/pages/slider_readout.h"
#include "app/tuner/tuner_state.h"

namespace fw {
namespace {

constexpr const char* kPage = "Tuner";

void CheckBox_TunerOnClick(TForm1& form) {
  Tuner& tuner = TunerOf(form).tuner;
  if (form.Box("CheckBox_TunerOn").Checked())
    tuner.Start(form.engine.params.EngineSampleRate.load());
  else
    tuner.Stop();
}

void Timer_TunerTimer(TForm1& form) {
  TunerState& state = TunerOf(form);
  const std::int64_t now = form.loop.GetClock().NowMs();
  state.input.Poll(now);
  state.output.Poll(now);
  if (state.tuner.Running()) {
    // The 44.1 kHz option changes the rate under a running tuner.
    const int rate = form.engine.params.EngineSampleRate.load();
    if (rate != state.tuner.SampleRate()) state.tuner.Start(rate);
    state.tuner.Poll();
  }
  for (const auto& listener : state.listeners) listener();
}

}  // namespace

TunerState& TunerOf(TForm1& form) {
  if (!form.tuner) form.tuner = std::make_unique<TunerState>(form.engine);
  return *form.tuner;
}

void BuildTunerControls(TForm1& form) {
  TunerOf(form);
  auto& on = form.AddCheckBox("CheckBox_TunerOn", kPage, "Tuner on");
  on.OnClick = [&form] { CheckBox_TunerOnClick(form); };
  auto& mute = form.AddCheckBox("CheckBox_TunerMute", kPage, "Mute the output while tuning", true);
  mute.OnClick = [&form] {
    form.engine.tuner.MutesOutput.store(form.Box("CheckBox_TunerMute").Checked() ? 1 : 0);
  };
  form.engine.tuner.MutesOutput.store(1);
  form.AddLabel("Label_TunerReference", kPage, "Reference A4");
  auto& reference = form.AddScrollBar("ScrollBar_TunerReference", kPage, 430, 450, 440);
  reference.OnChange = [&form] {
    TunerOf(form).tuner.SetReference(form.Bar("ScrollBar_TunerReference").Position());
  };
  AttachReadout(form, reference, {ReadoutUnit::Hertz, [](int position, int) -> double { return position; }});
  form.AddPaintBox("PaintBox_Tuner", kPage);
  form.AddPaintBox("PaintBox_Meters", kPage);
  form.AddTimer("Timer_Tuner", kTunerPollMs, true).OnTimer = [&form] { Timer_TunerTimer(form); };
  MidiOf(form).toggleTuner = [&form] { form.Box("CheckBox_TunerOn").Click(); };
}

}  // namespace fw
