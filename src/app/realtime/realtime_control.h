#pragma once
// Starting and stopping live processing from the "REALTIME" page: the start sequence
// that picks the audio mode, the WDM set-up of the output library, capture start and
// stop, the latency buttons, the rate and card-type controls, and the window's
// deactivate, close-query, close and destroy steps. Window thread only.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/realtime/form_mode_host.h"
#include "audio/wave_in_chain.h"
#include "modes/maker.h"

namespace fw {

class TForm1;
class OutputLibrary;
class WaveInput;
class DirectModes;
class Ring0Mode;

enum class AudioMode { None, Library, DmaDirect, CommonBuffer, Ring0 };

inline constexpr const char* kNoWdmDeviceMessage =
    "There is no WDM-sound device or it can not be initialized.";
inline constexpr const char* kNoWdmOutputText = "There is no WDM-sound output device.";
inline constexpr const char* kWaveInOpenMessage = "Can not wave in open (InOutStart).";
inline constexpr const char* kWaveInAddMessage = "Can not wave in prepare & add (InOutStart).";
inline constexpr const char* kWaveInStartMessage = "Can not waveIbStart (WaveInOutStart)";
inline constexpr const char* kRealtimeInitMessage = "Can not init Realtime...";
// The long driver message of the WDM set-up.
const char* NoDriverMessage();

class RealtimeControl {
 public:
  explicit RealtimeControl(TForm1& form);
  ~RealtimeControl();

  // Control handlers.
  void Button_RUN_RTClick();
  void Timer2Timer();
  void Button_STOP_RTClick();
  void Button_ThreadPSClick();
  void BitBtn_latPlusClick();
  void BitBtn_LatMinusClick();
  void CheckBox_AWE_44_1Click();
  void RadioGroup_NameOfSCClick();
  void RadioGroup_IRQClick();
  void RadioGroup_DMA8Click();
  void RadioGroup_DMA16Click();

  // Window events.
  void FormCloseQuery();
  void FormDeactivate();
  void FormClose();
  void FormDestroy();

  // Steps, public for the modes that share them.
  void StartSequence();
  bool WdmSetup();  // false: the program has been told to end
  void CaptureStart();
  void CaptureStop();

  // The system offers ring-0 drivers (never on Linux; unknown without system services).
  bool Ring0Available() const;

  // Seams for the direct modes and the probe, which live elsewhere: unset, the probe
  // reports 0 and Optimisation always leads to library mode.
  std::function<int(int)> inputFillProbe;
  std::function<void()> optimisedStart;  // the Optimisation branch of the start sequence
  std::function<void()> directModeStop;  // stop of the DMA-direct or common-buffer mode
  // Asked while a start waits for the card: true when the session is ending, so the
  // start gives up and the page is left stopped. Unset: a start waits as it must.
  std::function<bool()> startCancelled;

  AudioMode mode = AudioMode::None;
  std::int32_t latency = 0;  // last value passed to setup_latency
  std::int32_t irq = 5;
  std::int32_t dma8 = 1;
  std::int32_t dma16 = 5;
  std::int32_t runningNotPaused = 0;
  std::int32_t rateMultiplier = 1;  // of the input fill probe
  int nameOfScHeight = 140;
  // Sent by "Send Hardware Config to Author"; the DMA detection rewrites it.
  std::string hardwareReport = "failed";
  bool installationVerified = false;
  // The direct modes; exists where the system has ring-0 drivers.
  DirectModes* Direct() { return direct_.get(); }
  // Ring-0 mode's driver, event and thread.
  Ring0Mode& Ring0() { return *ring0_; }

 private:
  bool Ring0Missing() const;
  OutputLibrary* Output() const;
  WaveInput* Input() const;
  void EndProgram();
  void CommonEnd();
  bool StartGivenUp() const;
  void LeaveStopped();
  void Ring0Start();
  void Ring0Stop();
  void CloseMainInput();
  void OptimisedStart();
  void CloseMainOutput();

  TForm1& form_;
  FormModeHost host_;
  WaveInChain waveInChain_;
  std::unique_ptr<DirectModes> direct_;
  std::unique_ptr<Ring0Mode> ring0_;
  bool mainOutputOpen_ = false;
};

// The realtime control of the window, created on first use.
RealtimeControl& Realtime(TForm1& form);

}  // namespace fw
