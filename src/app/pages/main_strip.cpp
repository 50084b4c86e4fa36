// The strip under the pages: the output volume with the overload message it
// answers, and "Audio Mixer", which starts the desktop's mixer without waiting.
#include <cstdlib>

#include "app/audio_mixer.h"
#include "app/form1.h"
#include "app/pages/pages.h"
#include "app/pages/slider_readout.h"
#include "app/shell.h"
#include "core/message_port.h"

namespace fw {
namespace {

// a = 101 - position: 1/(|a-50|+1) for a >= 50, else |a-50|+1.
float OutputGainForPosition(int position) {
  const int a = 101 - position;
  const int distance = a >= 50 ? a - 50 : 50 - a;
  const float steps = static_cast<float>(distance + 1);
  return a >= 50 ? 1.0f / steps : steps;
}

void ScrollBar_OutPut_VolumeChange(TForm1& form) {
  form.engine.params.OutputGain.store(OutputGainForPosition(form.Bar("ScrollBar_OutPut_Volume").Position()));
}

// Message 0x1400: the wave-in driver overloaded; lower the volume one step.
void OverloadMessage(TForm1& form) {
  auto& volume = form.Bar("ScrollBar_OutPut_Volume");
  if (volume.Position() > 1) {
    volume.SetPosition(volume.Position() - 1);
    form.engine.params.OverloadLatch.store(0);
  }
}

// Nothing happens when no mixer is installed.
void BitBtn_mixClick(TForm1& form) {
  const char* path = std::getenv("PATH");
  const std::string mixer = FindAudioMixer(path != nullptr ? path : "");
  if (!mixer.empty() && form.platform.shell != nullptr) form.platform.shell->Start(mixer);
}

}  // namespace

void BuildMainStrip(TForm1& form) {
  form.AddLabel("Label_output_volume", "", "output volume");
  auto& volume = form.AddScrollBar("ScrollBar_OutPut_Volume", "", 1, 100, 20);
  volume.OnChange = [&form] { ScrollBar_OutPut_VolumeChange(form); };
  AttachReadout(form, volume, {ReadoutUnit::Decibels, [](int position, int) -> double {
                                 return OutputGainForPosition(position);
                               }});
  auto& mixer = form.AddButton("BitBtn_mix", "", "Audio Mixer", ui::ButtonKind::Bitmap);
  mixer.SetFontColor(ui::Button::kGreen);
  mixer.OnClick = [&form] { BitBtn_mixClick(form); };
  form.loop.OnMessage(kOverloadMessage, [&form] { OverloadMessage(form); });
}

}  // namespace fw
