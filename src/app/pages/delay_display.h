#pragma once
// The REALTIME page's input-to-output delay: a label that Timer_Delay refreshes once a
// second while a mode runs, from the live stream's samples in flight and the device's
// reported latencies.
#include <string>

namespace fw {

class TForm1;

// "In ->out delay: 5.8 ms"; empty for 0 (nothing playing yet).
std::string DelayCaption(double milliseconds);
// Timer_Delay's handler: refreshes Label_Delay and tells the device a changed delay.
void ShowLiveDelay(TForm1& form);

}  // namespace fw
