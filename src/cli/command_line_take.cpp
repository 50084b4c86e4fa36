#include "cli/command_line_take.h"

#include <filesystem>
#include <system_error>

#include "app/form1.h"
#include "app/pages/file_pages.h"
#include "files/recorder.h"
#include "files/sound_file.h"
#include "files/take_name.h"

namespace fw::cli {
namespace {

bool HasExtension(const std::string& file, const char* extension) {
  std::string found = std::filesystem::path(file).extension().string();
  for (char& c : found) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return found == extension;
}

}  // namespace

std::string CommandLineTake::NameProblem(const std::string& file) {
  if (HasExtension(file, ".au") || HasExtension(file, ".wav")) return {};
  return "--record " + file + ": the name must end in .au or .wav";
}

bool CommandLineTake::Start(TForm1& form, const std::string& file, bool clean) {
  form.Box("CheckBox_record_clean").SetChecked(clean);
  const bool wav = HasExtension(file, ".wav");
  // The Record page adds ".au" and numbers an AU name itself; a WAV name is numbered
  // here, and its AU recording sits beside it.
  file_ = wav ? FreeTakeName(file) : file;
  const std::string stem = wav ? file_ : file_.substr(0, file_.size() - 3);
  form.Get<ui::Edit>("Edit_Open_R").SetText(stem);
  form.RunCommand([&form] { form.Btn("BitBtn_Start_Record").Click(); });
  const Recorder& recorder = RecorderOf(form);
  if (!recorder.Recording()) return false;
  recorded_ = recorder.Path();
  if (!wav) file_ = recorded_;
  return true;
}

std::string CommandLineTake::Finish() {
  if (recorded_.empty() || recorded_ == file_) return {};
  try {
    const MonoSound take = ReadMonoSound(recorded_);
    WriteSound(file_, take.samples, 1, take.sampleRate);
  } catch (const std::exception& error) {
    return std::string(error.what()) + "; the take stays in " + recorded_;
  }
  std::error_code ignored;
  std::filesystem::remove(recorded_, ignored);
  return {};
}

std::string StatusWithUnits(const TForm1& form, const std::string& status) {
  constexpr std::string_view kRecorded = "Recorded=";
  if (status.rfind(kRecorded, 0) != 0) return status;
  const long long samples = std::stoll(status.substr(kRecorded.size()));
  const int rate = form.engine.params.EngineSampleRate.load();
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", rate > 0 ? static_cast<double>(samples) / rate : 0.0);
  const std::string& path = form.recorder->Path();
  return status + " samples (" + seconds + " s)" + (path.empty() ? "" : " to " + path);
}

}  // namespace fw::cli
