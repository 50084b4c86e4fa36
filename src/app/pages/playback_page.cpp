// The "Playback" page: two file slots played through the effects.
#include <memory>
#include <optional>
#include <string>

#include "app/form1.h"
#include "app/pages/file_pages.h"
#include "app/pages/pages.h"
#include "app/pages/slider_readout.h"
#include "app/startup_state.h"
#include "files/file_player.h"
#include "files/io_error.h"
#include "ui/dialogs.h"

namespace fw {
namespace {

constexpr int kCardAny = 2;  // "Any (SB Live, etc.)"
constexpr int kForcedChunk = 10240;

// Real-time processing runs while its Start button is disabled.
bool RealtimeRunning(const TForm1& form) {
  const ui::Control* start = form.Find("Button_RUN_RT");
  return start != nullptr && !start->Enabled();
}

std::optional<std::string> AskForWavFile(TForm1& form) {
  if (form.platform.dialogs == nullptr) return std::nullopt;
  ui::FileDialogOptions options;
  options.title = "Open WAV file";
  options.initialDir = StartupOf(form).dialogDirectory;  // the program directory, from the activation
  // The reader takes WAV and AU files (swapped by name); both are offered second.
  options.filter = "wav files|*.wav|sound files|*.wav *.au *.AU";
  auto path = form.platform.dialogs->OpenFile(options);
  if (path && path->empty()) return std::nullopt;
  return path;
}

void Button3Click(TForm1& form) {
  if (!RealtimeRunning(form)) {
    form.ShowMessage("At first you must go to Realtime section and press Start button.");
    return;
  }
  const auto path = AskForWavFile(form);
  if (!path) return;
  FilePlayer& player = PlayerOf(form);
  if (!player.Open(FilePlayer::kSlotA, *path)) return;
  form.Btn("BitBtn1").SetEnabled(true);
  form.Btn("Button3").SetEnabled(false);

  // Silence while the pre-read runs; the output comes back even when it fails.
  EngineParams& p = form.engine.params;
  const float outputGain = p.OutputGain.load();
  p.OutputGain.store(0.0f);
  p.WavFileGain.store(0.0f);
  struct RestoreOutput {
    EngineParams& params;
    float gain;
    ~RestoreOutput() { params.OutputGain.store(gain); }
  } restore{p, outputGain};
  player.PreRead(FilePlayer::kSlotA);
}

void BitBtn_open_wav_2Click(TForm1& form) {
  const auto path = AskForWavFile(form);
  if (!path) return;
  FilePlayer& player = PlayerOf(form);
  if (!player.Open(FilePlayer::kSlotB, *path)) return;
  player.PreRead(FilePlayer::kSlotB);
}

void BitBtn1Click(TForm1& form) {
  PlayerOf(form).Play();
  form.GetTimer("Timer_read_wav_file").SetEnabled(true);
  form.Btn("Button4").SetEnabled(true);
  form.Btn("BitBtn1").SetEnabled(false);
}

void Button4Click(TForm1& form) {
  form.GetTimer("Timer_read_wav_file").SetEnabled(false);
  PlayerOf(form).Stop();
  form.Btn("Button4").SetEnabled(false);
  form.Btn("Button3").SetEnabled(true);
}

// A file that can no longer be read stops playing after its error is shown once,
// instead of raising the same error every tick.
void Timer_read_wav_fileTimer(TForm1& form) {
  ForceFileReadChunkForCard(form);
  try {
    PlayerOf(form).ServeRefillRequests();
  } catch (const IoError& error) {
    Button4Click(form);
    form.ShowError(error.what());
  }
}

float WavFileGainFor(int position) { return static_cast<float>(position / 25.0); }

void ScrollBar_wav_file_gainChange(TForm1& form) {
  form.engine.params.WavFileGain.store(WavFileGainFor(form.Bar("ScrollBar_wav_file_gain").Position()));
}

void CheckBox_Mute_Live_InputClick(TForm1& form) {
  form.engine.params.LiveInputFactor.store(form.Box("CheckBox_Mute_Live_Input").Checked() ? 0.001f : 1.001f);
}

// The chain reads this box on every block: mix the file before (checked) or after the effects.
void CheckBox_wav_via_effectsClick(TForm1& form) {
  form.engine.params.WavViaEffects.store(form.Box("CheckBox_wav_via_effects").Checked() ? 1 : 0);
}

}  // namespace

FilePlayer& PlayerOf(TForm1& form) { return *form.player; }

void SelectPlaybackSlot(TForm1& form, int slot) {
  FilePlayer& player = PlayerOf(form);
  player.SelectSlot(slot);
  form.Status().SetSimpleText(player.SelectedSlot() == FilePlayer::kSlotA ? "File=A" : "File=B");
}

int SwitchPlaybackSlot(TForm1& form) {
  const int next =
      PlayerOf(form).SelectedSlot() == FilePlayer::kSlotA ? FilePlayer::kSlotB : FilePlayer::kSlotA;
  SelectPlaybackSlot(form, next);
  return next;
}

void ForceFileReadChunkForCard(TForm1& form) {
  const auto* card = dynamic_cast<const ui::RadioGroup*>(form.Find("RadioGroup_NameOfSC"));
  if (card != nullptr && card->ItemIndex() != kCardAny) form.engine.params.FileReadChunk.store(kForcedChunk);
}

void BuildPlaybackControls(TForm1& form) {
  form.player = std::make_unique<FilePlayer>(form.engine);
  const std::string page = "Playback";
  form.AddLabel("Label_playback_note", page, " Use 16 bit Mono 22 kHz WAV files");

  form.AddButton("Button3", page, "Open WAV").OnClick = [&form] {
    form.RunCommand([&form] { Button3Click(form); });
  };
  auto& play = form.AddButton("BitBtn1", page, " &Play", ui::ButtonKind::Bitmap);
  play.SetEnabled(false);
  play.OnClick = [&form] { BitBtn1Click(form); };
  auto& stop = form.AddButton("Button4", page, "Stop");
  stop.SetEnabled(false);
  stop.OnClick = [&form] { Button4Click(form); };
  auto& openB = form.AddButton("BitBtn_open_wav_2", page, "Open WAV 2", ui::ButtonKind::Bitmap);
  openB.SetVisible(false);
  openB.SetEnabled(false);
  openB.OnClick = [&form] { form.RunCommand([&form] { BitBtn_open_wav_2Click(form); }); };

  form.AddLabel("Label_wav_file_gain", page, "WAV file signal volume");
  auto& gain = form.AddScrollBar("ScrollBar_wav_file_gain", page, 0, 100, 25);
  gain.OnChange = [&form] { ScrollBar_wav_file_gainChange(form); };
  AttachReadout(form, gain, {ReadoutUnit::Decibels, [](int position, int) -> double {
                               return WavFileGainFor(position);
                             }});
  form.AddCheckBox("CheckBox_Mute_Live_Input", page, "Mute Live Input").OnClick = [&form] {
    CheckBox_Mute_Live_InputClick(form);
  };
  form.AddCheckBox("CheckBox_wav_via_effects", page, "Effects").OnClick = [&form] {
    CheckBox_wav_via_effectsClick(form);
  };
  form.AddTimer("Timer_read_wav_file", 100).OnTimer = [&form] { Timer_read_wav_fileTimer(form); };
}

}  // namespace fw
