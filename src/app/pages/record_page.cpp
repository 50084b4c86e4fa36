// The "Record" page: what the player hears (or the clean input) to an AU file.
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/form1.h"
#include "app/pages/file_pages.h"
#include "app/pages/pages.h"
#include "app/system_services.h"
#include "files/recorder.h"
#include "files/take_name.h"
#include "ui/dialogs.h"

namespace fw {
namespace {

const char* const kNameHint = "file name like   c:\\your.wav";

// A path is present once the name box holds something other than its hint;
// start never writes a file the user has not named.
bool HasRecordPath(const TForm1& form) {
  const std::string& text = form.Get<ui::Edit>("Edit_Open_R").Text();
  return text.find_first_not_of(' ') != std::string::npos && text != kNameHint;
}

bool HiQualityRate(const TForm1& form) {
  if (const auto* box = dynamic_cast<const ui::CheckBox*>(form.Find("CheckBox_AWE_44_1")))
    return box->Checked();
  return form.engine.params.EngineSampleRate.load() == 44100;
}

void SetRecordButtons(TForm1& form, bool recording) {
  form.Btn("BitBtn_Stop_R").SetEnabled(recording);
  form.Btn("BitBtn_Pause").SetEnabled(recording);
  form.Btn("BitBtn_Start_Record").SetEnabled(!recording && HasRecordPath(form));
  form.Btn("BitBtn_Continue").SetEnabled(false);
}

void Edit_Open_RChange(TForm1& form) {
  if (!RecorderOf(form).Recording()) form.Btn("BitBtn_Start_Record").SetEnabled(HasRecordPath(form));
}

void BitBtn_Open_FileClick(TForm1& form) {
  if (form.platform.dialogs == nullptr) return;
  ui::FileDialogOptions options;
  options.title = "Record to file";
  options.filter = "au files|*.au";
  options.defaultExt = "au";
  auto path = form.platform.dialogs->SaveFile(options);
  if (!path || path->empty()) return;
  // Start adds ".au" itself.
  const std::size_t n = path->size();
  if (n > 3 && (path->compare(n - 3, 3, ".au") == 0 || path->compare(n - 3, 3, ".AU") == 0))
    path->resize(n - 3);
  form.Get<ui::Edit>("Edit_Open_R").SetText(*path);
  RecorderOf(form).confirmedName = *path;
}

// A typed name that names an existing file: the window asks before replacing it, the
// command line numbers the new take; a name the save dialog confirmed stands.
// Empty when the take must not start.
std::string TakePath(TForm1& form) {
  const std::string name = form.Get<ui::Edit>("Edit_Open_R").Text();
  const std::string path = name + ".au";
  std::error_code error;
  // Only an existing take is kept from harm; anything else (a folder) fails to open as before.
  if (name == RecorderOf(form).confirmedName || !std::filesystem::is_regular_file(path, error)) return path;
  const std::optional<bool> replace =
      form.platform.dialogs != nullptr ? form.platform.dialogs->AskReplace(path) : std::nullopt;
  if (!replace) return FreeTakeName(path);
  return *replace ? path : std::string();
}

void BitBtn_Start_RecordClick(TForm1& form) {
  Recorder& recorder = RecorderOf(form);
  if (recorder.Recording() || !HasRecordPath(form)) return;
  const std::string path = TakePath(form);
  if (path.empty()) return;
  const int item = form.Group("RadioGroup_WAV_WRITE_BUF_SIZE").ItemIndex();
  const std::int32_t ringSize = (item < 0 ? 1 : item + 1) * Recorder::kRingStep;
  if (!recorder.AllocateRing(ringSize)) {
    form.ShowMessage("Out of memory, use smaller buffer or add RAM to your PC!");
    if (form.platform.system != nullptr) form.platform.system->EndProgramNow();
    return;
  }
  recorder.CreateFile(path, HiQualityRate(form) ? 44100u : 22050u);
  SetRecordButtons(form, true);
  recorder.Arm();
  form.GetTimer("Timer_Write_file").SetEnabled(true);
}

void BitBtn_PauseClick(TForm1& form) {
  RecorderOf(form).Pause();
  form.Btn("BitBtn_Continue").SetEnabled(true);
  form.Btn("BitBtn_Pause").SetEnabled(false);
}

void BitBtn_ContinueClick(TForm1& form) {
  RecorderOf(form).Continue();
  form.Btn("BitBtn_Continue").SetEnabled(false);
  form.Btn("BitBtn_Pause").SetEnabled(true);
}

void Timer_Write_fileTimer(TForm1& form) {
  EngineParams& p = form.engine.params;
  const std::int32_t index = p.RecordIndex.load();
  const std::int32_t size = p.RecordRingSize.load();
  form.Status().SetSimpleText("Recorded=" + std::to_string(index));
  const double fill = size > 0 ? std::nearbyint(static_cast<double>(index) * 100.0 / size) : 0.0;
  form.Get<ui::ProgressBar>("ProgressBar_WRITE_TO_FILE").SetPosition(static_cast<int>(fill));
  ForceFileReadChunkForCard(form);
  RecorderOf(form).FlushIfFull();
  RecorderOf(form).SaveWritten();
}

void BitBtn_Stop_RClick(TForm1& form) {
  Recorder& recorder = RecorderOf(form);
  if (!recorder.Recording()) return;
  recorder.CloseTaps();
  form.GetTimer("Timer_Write_file").SetEnabled(false);
  const std::int64_t bytes = recorder.AppendRemainder();
  form.Get<ui::Label>("Label6").SetCaption("Recorded bytes: " + std::to_string(bytes / 1024) + " kB");
  recorder.CompleteHeader(HiQualityRate(form) ? 44100u : 22050u);
  recorder.Finish();
  SetRecordButtons(form, false);
  form.Get<ui::ProgressBar>("ProgressBar_WRITE_TO_FILE").SetPosition(0);
}

void CheckBox_record_cleanClick(TForm1& form) {
  form.engine.params.RecordClean.store(form.Box("CheckBox_record_clean").Checked() ? 1 : 0);
}

// The chain reads this box on every block: record after the output conversion,
// with the played file, instead of before it.
void CheckBox_Write_WAV_LiveClick(TForm1& form) {
  form.engine.params.WriteWavLive.store(form.Box("CheckBox_Write_WAV_Live").Checked() ? 1 : 0);
}

std::vector<std::string> BufferSizeItems(bool hiQuality) {
  if (hiQuality) return {"0.5 minute", "1 minute", "1.5 minute", "2 minutes"};
  return {"1 minute", "2 minutes", "3 minutes", "4 minutes"};
}

}  // namespace

Recorder& RecorderOf(TForm1& form) { return *form.recorder; }

void SetRecordBufferSizeItems(TForm1& form, bool hiQuality) {
  ui::RadioGroup& group = form.Group("RadioGroup_WAV_WRITE_BUF_SIZE");
  group.SetItems(BufferSizeItems(hiQuality));
  group.SetItemIndex(0);
}

void BuildRecordControls(TForm1& form) {
  form.recorder = std::make_unique<Recorder>(form.engine);
  const std::string page = "Record";
  form.AddLabel("Label_record_note", page,
                "After STOP record You can playback recorded file (it's in *.au format) by any wav editor.");
  form.AddEdit("Edit_Open_R", page, kNameHint).OnChange = [&form] { Edit_Open_RChange(form); };
  form.AddButton("BitBtn_Open_File", page, "&Get File Name", ui::ButtonKind::Bitmap).OnClick = [&form] {
    BitBtn_Open_FileClick(form);
  };
  form.AddButton("BitBtn_Start_Record", page, "Open File && Start Record", ui::ButtonKind::Bitmap).OnClick =
      [&form] { form.RunCommand([&form] { BitBtn_Start_RecordClick(form); }); };
  form.AddButton("BitBtn_Pause", page, "&Pause", ui::ButtonKind::Bitmap).OnClick = [&form] {
    BitBtn_PauseClick(form);
  };
  form.AddButton("BitBtn_Continue", page, "&Continue", ui::ButtonKind::Bitmap).OnClick = [&form] {
    BitBtn_ContinueClick(form);
  };
  form.AddButton("BitBtn_Stop_R", page, "Stop Record && Close File", ui::ButtonKind::Bitmap).OnClick =
      [&form] { form.RunCommand([&form] { BitBtn_Stop_RClick(form); }); };
  form.AddRadioGroup("RadioGroup_WAV_WRITE_BUF_SIZE", page, "Buffer Size",
                     BufferSizeItems(HiQualityRate(form)), 0);
  form.AddCheckBox("CheckBox_record_clean", page, "record clean").OnClick = [&form] {
    CheckBox_record_cleanClick(form);
  };
  form.AddCheckBox("CheckBox_Write_WAV_Live", page,
                   "Record playing back wav file +  live input (mic or line-in)")
      .OnClick = [&form] { CheckBox_Write_WAV_LiveClick(form); };
  form.AddLabel("Label6", page, "Recorded 0 bytes");
  form.AddProgressBar("ProgressBar_WRITE_TO_FILE", page, 0, 100);
  form.AddTimer("Timer_Write_file", 250).OnTimer = [&form] {
    form.RunCommand([&form] { Timer_Write_fileTimer(form); });
  };
  SetRecordButtons(form, false);
}

}  // namespace fw
