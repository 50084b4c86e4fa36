// The "REALTIME" page: Start, Stop, Pause/Continue, the latency buttons and the
// hidden Optimisation box; Timer2 runs the start sequence half a second after Start;
// Timer_Delay shows the input-to-output delay while a mode runs.
#include "app/form1.h"
#include "app/pages/delay_display.h"
#include "app/pages/pages.h"
#include "app/realtime/realtime_control.h"

namespace fw {

void BuildRealtimeControls(TForm1& form) {
  RealtimeControl& rt = Realtime(form);
  auto& start = form.AddButton("Button_RUN_RT", "REALTIME", "Start");
  start.OnClick = [&rt] { rt.Button_RUN_RTClick(); };
  auto& stop = form.AddButton("Button_STOP_RT", "REALTIME", "Stop");
  stop.SetEnabled(false);
  stop.OnClick = [&rt] { rt.Button_STOP_RTClick(); };
  auto& pause = form.AddButton("Button_ThreadPS", "REALTIME", "Pause/Continue");
  pause.SetEnabled(false);
  pause.OnClick = [&rt] { rt.Button_ThreadPSClick(); };
  form.AddButton("BitBtn_latPlus", "REALTIME", "Increase  in ->out  delay", ui::ButtonKind::Bitmap).OnClick =
      [&rt] { rt.BitBtn_latPlusClick(); };
  form.AddButton("BitBtn_LatMinus", "REALTIME", "Decrease  in ->out  delay", ui::ButtonKind::Bitmap).OnClick =
      [&rt] { rt.BitBtn_LatMinusClick(); };
  form.AddCheckBox("CheckBox_UseWaveIn", "REALTIME", "Optimisation").SetVisible(false);
  // The advice on the two delay buttons; the activation writes its text.
  form.AddLabel("Label_wdm_help", "REALTIME", "");
  form.AddTimer("Timer2", 500, false).OnTimer = [&rt] { rt.Timer2Timer(); };
  form.AddLabel("Label_Delay", "REALTIME", "");
  form.AddTimer("Timer_Delay", 1000, true).OnTimer = [&form] { ShowLiveDelay(form); };
}

}  // namespace fw
