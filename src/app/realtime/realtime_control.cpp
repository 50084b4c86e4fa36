#include "app/realtime/realtime_control.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "app/form1.h"
#include "app/pages/slider_readout.h"
#include "app/session_end.h"
#include "app/system_services.h"
#include "audio/chain_io.h"
#include "audio/kernel_services.h"
#include "audio/output_library.h"
#include "audio/realtime_shared.h"
#include "audio/wave_in_chain.h"
#include "audio/wave_input.h"
#include "audio/wave_output.h"
#include "engine/chain.h"
#include "modes/direct_modes.h"
#include "modes/ring0_installation.h"
#include "modes/ring0_mode.h"

namespace fw {
namespace {

constexpr int kStopResetPairs = 51;

void SetEnabled(TForm1& form, const char* name, bool enabled) {
  if (ui::Control* control = form.Find(name)) control->SetEnabled(enabled);
}

void ClickIfPresent(TForm1& form, const char* name) {
  if (auto* button = dynamic_cast<ui::Button*>(form.Find(name))) button->Click();
}

void DirectBlockThunk(void* engine, std::int32_t count, std::int16_t* block) noexcept {
  ProcessDirectBlock(*static_cast<Engine*>(engine), count, block);
}

int ItemNumber(const ui::RadioGroup& group, int fallback) {
  const int index = group.ItemIndex();
  if (index < 0) return fallback;
  return std::stoi(group.Items()[static_cast<std::size_t>(index)]);
}

// The fixed text, then a line with what this system said, when it said anything.
std::string WithCause(const char* text, OutputLibrary* out) {
  const std::string cause = out != nullptr ? out->FailureCause() : std::string();
  return cause.empty() ? std::string(text) : std::string(text) + "\n\r" + cause;
}

}  // namespace

const char* NoDriverMessage() {
  static const std::string text =
      std::string(
          "Error: It seems you use Windows 95 or you have no appropriate\n\r"
          "sound card drivers. You could visit your sound card manufacturer www-site,\n\r"
          "download and install the latest drivers for your sound card.\n\r"
          "Also, you can try old Fretwerk software for Windows 95/98.\n\r"
          "Download it from ") +
      kMakerAddress;
  return text.c_str();
}

RealtimeControl::RealtimeControl(TForm1& form)
    : form_(form),
      host_(form, startCancelled),
      waveInChain_{&form.engine, &form.io},
      ring0_(std::make_unique<Ring0Mode>(host_, form.engine, form.io.realtime, Ring0Available())) {
  if (form_.platform.kernel != nullptr && Ring0Available()) {
    direct_ = std::make_unique<DirectModes>(host_, hardwareReport);
    inputFillProbe = [this](int k) { return direct_->InputFillProbe(k); };
    optimisedStart = [this] { OptimisedStart(); };
    directModeStop = [this] {
      if (mode == AudioMode::DmaDirect) direct_->StopDmaDirect();
      if (mode == AudioMode::CommonBuffer) direct_->StopCommonBuffer();
    };
  }
}

RealtimeControl::~RealtimeControl() = default;

bool RealtimeControl::Ring0Available() const {
  return form_.platform.system != nullptr && form_.platform.system->HasRing0Drivers();
}

bool RealtimeControl::Ring0Missing() const {
  return form_.platform.system != nullptr && !form_.platform.system->HasRing0Drivers();
}

OutputLibrary* RealtimeControl::Output() const { return form_.platform.output; }
WaveInput* RealtimeControl::Input() const { return form_.platform.waveIn; }

void RealtimeControl::EndProgram() {
  if (form_.platform.system != nullptr) form_.platform.system->EndProgramNow();
}

// Start: Optimisation off, the "Distortion 2" preset, and the start sequence 500 ms later.
void RealtimeControl::Button_RUN_RTClick() {
  form_.Box("CheckBox_UseWaveIn").SetChecked(false);
  ClickIfPresent(form_, "BitBtn_Solo");
  if (auto* boost = dynamic_cast<ui::CheckBox*>(form_.Find("CheckBox_DisOldNew"))) boost->SetChecked(false);
  form_.Btn("Button_RUN_RT").SetEnabled(false);
  form_.GetTimer("Timer2").SetEnabled(true);
  SetEnabled(form_, "RadioGroup_OUT_MONO_", false);
  form_.Box("CheckBox_AWE_44_1").SetEnabled(false);
}

void RealtimeControl::Timer2Timer() {
  form_.GetTimer("Timer2").SetEnabled(false);
  // A file step of the installation check that fails ends the sequence and is shown.
  form_.RunCommand([this] { StartSequence(); });
}

void RealtimeControl::StartSequence() {
  EngineParams& p = form_.engine.params;
  OutputLibrary* out = Output();
  if (out != nullptr) out->setup_delta_delta(150);
  form_.io.waveIn.running.store(1);
  auto& start = form_.Btn("Button_RUN_RT");
  start.SetEnabled(false);

  const std::int32_t cardType = p.CardType.load();
  const bool optimisation = form_.Box("CheckBox_UseWaveIn").Checked();
  if (cardType == 2 && optimisation && Ring0Available() && inputFillProbe &&
      inputFillProbe(rateMultiplier) >= 300) {
    start.SetCaption("wait 30 sec.");
    if (direct_ != nullptr) direct_->cancelled = false;
    if (optimisedStart) optimisedStart();
    if (direct_ != nullptr && direct_->ended) return;
    if (StartGivenUp()) {
      LeaveStopped();
      return;
    }
    start.SetCaption("Working");
  } else if (cardType == 2) {
    mode = AudioMode::Library;
    p.FileReadChunk.store(11000);
    if (out != nullptr) out->setup_b_size(220);
    p.WaveInBlockLength.store(220);
    if (out != nullptr) out->setup_b_size(220);
    if (!WdmSetup()) return;
    latency = optimisation ? 700 : 1400;
    out->setup_latency(latency);
    out->setup_b_size(220);
    CaptureStart();
    start.SetCaption("Working");
  } else {
    Ring0Start();
    return;
  }
  CommonEnd();
}

// The Optimisation branch: DMA-direct mode when the detection finds the card's
// channels, else common-buffer mode or library mode by a second probe.
void RealtimeControl::OptimisedStart() {
  EngineParams& p = form_.engine.params;
  OutputLibrary* out = Output();
  ui::StatusBar& status = form_.Status();
  if (direct_->DetectAndStartDma() == 1) {
    mode = AudioMode::DmaDirect;
    p.FileReadChunk.store(11040);
    p.WaveInBlockLength.store(184);
    latency = 50;
    if (out != nullptr) out->setup_latency(50);
    direct_->SetBlockProcessor(&DirectBlockThunk, &form_.engine);
    status.SetSimpleText("isa:" + status.SimpleText());
    return;
  }
  if (direct_->ended || StartGivenUp()) return;
  if (inputFillProbe(rateMultiplier) <= 255) {
    if (direct_->ended) return;
    mode = AudioMode::Library;
    p.FileReadChunk.store(11000);
    p.WaveInBlockLength.store(220);
    if (out != nullptr) out->WinMain1(0);
    latency = 700;
    if (out != nullptr) {
      out->setup_latency(700);
      out->setup_b_size(220);
    }
    status.SetSimpleText(status.SimpleText() + " pci");
    CaptureStart();
    return;
  }
  mode = AudioMode::CommonBuffer;
  p.FileReadChunk.store(11040);
  p.WaveInBlockLength.store(184);
  latency = 100;
  if (out != nullptr) out->setup_latency(100);
  const int k = form_.Box("CheckBox_AWE_44_1").Checked() ? 2 : 1;
  if (k == 2) p.WaveInBlockLength.store(368);
  direct_->StartCommonBuffer(k);
  rateMultiplier = k;
  if (direct_->ended || StartGivenUp()) return;
  if (out != nullptr) out->setup_latency(100);
  direct_->SetBlockProcessor(&DirectBlockThunk, &form_.engine);
  status.SetSimpleText("pci/commo:" + status.SimpleText());
}

void RealtimeControl::CommonEnd() {
  form_.Btn("Button_STOP_RT").SetEnabled(true);
  form_.Btn("Button_RUN_RT").SetEnabled(false);
  form_.Group("RadioGroup_NameOfSC").SetEnabled(false);
  auto& pause = form_.Btn("Button_ThreadPS");
  pause.SetEnabled(true);
  pause.SetCaption("Pause");
  runningNotPaused = 1;
  if (form_.engine.params.CardType.load() == 2) {
    pause.SetEnabled(false);
    pause.SetCaption("Pause/Continue");
  }
}

bool RealtimeControl::StartGivenUp() const { return direct_ != nullptr && direct_->cancelled; }

// A start given up while it waited for the card leaves the page as Stop does.
void RealtimeControl::LeaveStopped() {
  mode = AudioMode::None;
  form_.io.waveIn.running.store(0);
  if (Output() != nullptr) Output()->CloseDSound();
  auto& start = form_.Btn("Button_RUN_RT");
  start.SetCaption("Start");
  start.SetEnabled(true);
  form_.Btn("Button_STOP_RT").SetEnabled(false);
  SetEnabled(form_, "RadioGroup_OUT_MONO_", true);
  form_.Box("CheckBox_AWE_44_1").SetEnabled(true);
}

bool RealtimeControl::WdmSetup() {
  form_.Box("CheckBox_AWE_44_1").SetChecked(true);
  auto& combo = form_.Get<ui::ComboBox>("ComboBox_WDM");
  combo.SetItems({});
  OutputLibrary* out = Output();
  WdmDeviceList list;
  if (out != nullptr) out->setup_ks_prefered();
  if (out == nullptr || out->get_wdm_wavout_device_list(&list) == 0) {
    combo.SetText(kNoWdmOutputText);
    form_.ShowMessage(WithCause(NoDriverMessage(), out));
    EndProgram();
    return false;
  }
  const int count = std::clamp(list.count, 0, WdmDeviceList::kMaxDevices);
  for (int i = 0; i < count; ++i) combo.AddItem(list.names[i] != nullptr ? list.names[i] : "");
  combo.SetItemIndex(0);
  if (combo.ItemIndex() >= 0) combo.SetText(combo.Items()[static_cast<std::size_t>(combo.ItemIndex())]);
  out->select_wdm_waveOut_device(combo.ItemIndex());
  out->setup_stereo(1);
  out->setup_auto(1);
  out->setup_delta_delta(150);
  out->setup_freq_22_44(44100);
  out->setup_latency(750);
  out->setup_b_size(220);
  out->setup_max_chorus_delay(0);
  if (out->WinMain1(0) == -1) {
    form_.ShowMessage(WithCause(kNoWdmDeviceMessage, out));
    EndProgram();
    return false;
  }
  return true;
}

// Capture start. After an open or add failure the application is asked to end; the
// remaining steps still run (and fail) as the system's own functions would.
void RealtimeControl::CaptureStart() {
  Engine& engine = form_.engine;
  engine.params.WaveInBlockLength.store(220);
  WaveFormat format;
  format.formatTag = 1;
  format.channels = 1;
  format.samplesPerSec = form_.Box("CheckBox_AWE_44_1").Checked() ? 44100u : 22050u;
  format.avgBytesPerSec = format.samplesPerSec * 2;
  format.blockAlign = 2;
  format.bitsPerSample = 16;

  WaveInput* in = Input();
  form_.io.waveIn.device = in;
  SystemServices* system = form_.platform.system;
  const std::int32_t opened =
      in != nullptr ? in->Open(kWaveMapper, format, WaveInChainCallback(waveInChain_), 0, kCallbackFunction)
                    : MMSYSERR_BADDEVICEID;
  if (opened != MMSYSERR_NOERROR) {
    form_.ShowMessage(kWaveInOpenMessage);
    if (system != nullptr) system->RequestTerminate();
  }

  WaveInBufferArea& area = form_.io.waveIn.area;
  std::int32_t added = MMSYSERR_INVALHANDLE;
  for (int i = 0; i < WaveInBufferArea::kBufferCount; ++i) {
    WaveInHeader& header = area.headers[i];
    header = WaveInHeader{};
    header.data = area.samples + i * WaveInBufferArea::kBufferLength;
    header.bufferLength = WaveInBufferArea::kBufferLength * 2;
    header.user = static_cast<std::uintptr_t>(i);
    if (in != nullptr) {
      in->PrepareHeader(&header, kWaveHeaderSize);
      added = in->AddBuffer(&header, kWaveHeaderSize);
    }
  }
  if (added != MMSYSERR_NOERROR) {
    form_.ShowMessage(kWaveInAddMessage);
    if (system != nullptr) system->RequestTerminate();
  }

  // The output block buffer holds one block here: clear all of it.
  std::fill(std::begin(engine.buffers.waveOut), std::end(engine.buffers.waveOut), std::int16_t{0});

  if ((in != nullptr ? in->Start() : MMSYSERR_INVALHANDLE) != MMSYSERR_NOERROR) {
    form_.ShowMessage(kWaveInStartMessage);
  }
}

// Capture stop: the running flag first, so the buffers the reset hands back are
// neither processed nor added again.
void RealtimeControl::CaptureStop() {
  form_.io.waveIn.running.store(0);
  WaveInput* in = Input();
  if (in == nullptr) return;
  for (int i = 0; i < kStopResetPairs; ++i) {
    in->Stop();
    in->Reset();
  }
  in->Close();
}

void RealtimeControl::Button_STOP_RTClick() {
  ClickIfPresent(form_, "Button4");
  form_.io.waveIn.running.store(0);
  auto& start = form_.Btn("Button_RUN_RT");
  auto& stop = form_.Btn("Button_STOP_RT");
  auto& pause = form_.Btn("Button_ThreadPS");
  stop.SetEnabled(false);
  start.SetEnabled(false);

  if (form_.engine.params.CardType.load() == 2) {
    if (mode == AudioMode::DmaDirect || mode == AudioMode::CommonBuffer) {
      if (directModeStop) directModeStop();
    } else {
      CaptureStop();
      if (Output() != nullptr) Output()->CloseDSound();
    }
    start.SetEnabled(true);
    pause.SetEnabled(false);
  } else {
    Ring0Stop();
  }
  mode = AudioMode::None;
  pause.SetCaption("Pause/Continue");
  runningNotPaused = 0;
  if (Ring0Available()) form_.Group("RadioGroup_NameOfSC").SetEnabled(true);
  CloseMainOutput();
  start.SetCaption("Start");
  SetEnabled(form_, "RadioGroup_OUT_MONO_", true);
  form_.Box("CheckBox_AWE_44_1").SetEnabled(true);
}

// Ring-0 mode: the realtime driver hands blocks to the realtime thread.
void RealtimeControl::Ring0Start() {
  mode = AudioMode::Ring0;
  WaveOutput* output = form_.platform.waveOut;
  WaveFormat format;
  if (output == nullptr || output->Open(kWaveMapper, format) != MMSYSERR_NOERROR) {
    form_.ShowMessage("Cant open outwav.");
  } else {
    mainOutputOpen_ = true;
  }
  KernelServices* kernel = form_.platform.kernel;
  if (!installationVerified && kernel != nullptr) {
    const InstallationCheck check = CheckRealtimeInstallation(host_, *kernel);
    if (check == InstallationCheck::Incomplete) return;
    if (check == InstallationCheck::Added) {
      CommonEnd();
      return;
    }
    installationVerified = true;
  }
  if (mainOutputOpen_) {
    output->BreakLoop();
    output->Pause();
    output->Reset();
    output->Pause();
  }
  if (!ring0_->OpenDriver(form_.engine.params.CardType.load())) {
    form_.ShowMessage(kRealtimeInitMessage);
    return;
  }
  ring0_->Start(irq, dma8, dma16);
  auto& pause = form_.Btn("Button_ThreadPS");
  pause.SetEnabled(true);
  pause.SetCaption("Pause");
  runningNotPaused = 1;
  CommonEnd();
}

void RealtimeControl::CloseMainOutput() {
  if (!mainOutputOpen_ || form_.platform.waveOut == nullptr) return;
  WaveOutput& output = *form_.platform.waveOut;
  output.Pause();
  output.BreakLoop();
  output.Reset();
  output.Close();
  mainOutputOpen_ = false;
}

void RealtimeControl::Ring0Stop() {
  RealtimeShared& shared = form_.io.realtime;
  ring0_->LeaveThread(100000.0f);
  ring0_->ReleaseDriver();
  shared.threadState.store(0);
  form_.Btn("Button_STOP_RT").SetEnabled(false);
  form_.Btn("Button_RUN_RT").SetEnabled(true);
  form_.Btn("Button_ThreadPS").SetEnabled(false);
}

void RealtimeControl::Button_ThreadPSClick() {
  auto& pause = form_.Btn("Button_ThreadPS");
  RealtimeShared& shared = form_.io.realtime;
  if (runningNotPaused == 1) {
    shared.suspended.store(1);
  } else {
    shared.suspended.store(0);
    shared.suspended.notify_all();
  }
  pause.SetCaption(runningNotPaused == 1 ? "Continue" : "Pause");
  runningNotPaused = 1 - runningNotPaused;
}

void RealtimeControl::BitBtn_latPlusClick() {
  latency += 50;
  if (Output() == nullptr) return;
  Output()->setup_latency(latency);
  Output()->insert_buffer();
}

void RealtimeControl::BitBtn_LatMinusClick() {
  latency -= 50;
  if (Output() == nullptr) return;
  Output()->setup_latency(latency);
  Output()->skip_buffer();
}

void RealtimeControl::CheckBox_AWE_44_1Click() {
  EngineParams& p = form_.engine.params;
  const bool hi = form_.Box("CheckBox_AWE_44_1").Checked();
  p.RealtimeBlockLength.store(hi ? 256 : 128);
  if (Output() != nullptr) Output()->setup_freq_22_44(hi ? 44100 : 22050);
  p.EngineSampleRate.store(hi ? 44100 : 22050);
  RefreshReadouts(form_);
  if (auto* sizes = dynamic_cast<ui::RadioGroup*>(form_.Find("RadioGroup_WAV_WRITE_BUF_SIZE"))) {
    if (hi) {
      sizes->SetItems({"0.5 minute", "1 minute", "1.5 minute", "2 minutes"});
    } else {
      sizes->SetItems({"1 minute", "2 minutes", "3 minutes", "4 minutes"});
    }
    sizes->SetItemIndex(0);
  }
}

void RealtimeControl::RadioGroup_NameOfSCClick() {
  auto& group = form_.Group("RadioGroup_NameOfSC");
  EngineParams& p = form_.engine.params;
  p.CardType.store(group.ItemIndex());
  const std::int32_t cardType = p.CardType.load();
  if (Ring0Missing() && (cardType == 0 || cardType == 1)) {
    group.SetItemIndex(2);
    return;
  }
  const bool ring0 = cardType == 0 || cardType == 1;
  form_.Group("RadioGroup_IRQ").SetVisible(ring0);
  form_.Group("RadioGroup_DMA8").SetVisible(ring0);
  form_.Group("RadioGroup_DMA16").SetVisible(ring0);
  nameOfScHeight = ring0 ? 73 : 140;
  if (ring0) form_.Box("CheckBox_UseWaveIn").SetChecked(true);
  if (!ring0) ring0_->ReleaseDriver();
}

void RealtimeControl::RadioGroup_IRQClick() { irq = ItemNumber(form_.Group("RadioGroup_IRQ"), irq); }
void RealtimeControl::RadioGroup_DMA8Click() { dma8 = ItemNumber(form_.Group("RadioGroup_DMA8"), dma8); }
void RealtimeControl::RadioGroup_DMA16Click() { dma16 = ItemNumber(form_.Group("RadioGroup_DMA16"), dma16); }

// The window's close ends the session as every other end does, so closing the window
// never leaves a take without its header.
void RealtimeControl::FormCloseQuery() {
  form_.RunCommand([this] { EndSession(form_); });
}

// Closing the main input with the running flag still set would hand the returned
// buffers to the chain on the window thread: the flag goes first, as in capture stop.
void RealtimeControl::CloseMainInput() {
  form_.io.waveIn.running.store(0);
  if (Input() != nullptr) Input()->Close();
}

void RealtimeControl::FormDeactivate() {
  form_.io.realtime.runFlag.store(0);
  CloseMainOutput();
  CloseMainInput();
}

void RealtimeControl::FormClose() {
  form_.io.realtime.runFlag.store(0);
  form_.Btn("Button_STOP_RT").SetEnabled(false);
  form_.Btn("Button_RUN_RT").SetEnabled(true);
  ring0_->LeaveThread(100000.0f);
  ring0_->ReleaseDriver();
  form_.io.realtime.threadState.store(0);
  CloseMainOutput();
  CloseMainInput();
}

void RealtimeControl::FormDestroy() {
  if (!form_.Btn("Button_RUN_RT").Enabled() && form_.Btn("Button_STOP_RT").Enabled()) {
    ring0_->LeaveThread(10000.0f);
  }
  CloseMainOutput();
  CloseMainInput();
  if (Output() != nullptr) Output()->CloseDSound();
}

RealtimeControl& Realtime(TForm1& form) {
  if (!form.realtime) form.realtime = std::make_unique<RealtimeControl>(form);
  return *form.realtime;
}

}  // namespace fw
