#pragma once
// How a session ends, whatever ends it (the input ran out, the time is up, Ctrl-C or
// SIGTERM, a lost device, the end of a render): Stop on the REALTIME page as the user
// presses it, then the Record page's Stop for a take still running, so every buffered
// sample is written and the header carries the true size. Window thread only.
#include <string>

namespace fw {

class TForm1;

void EndSession(TForm1& form);

// The device stopped under the session: the same end, and the status bar says why.
void EndSessionOnDeviceLoss(TForm1& form, const std::string& reason);

// "audio device lost: <reason>"
std::string DeviceLostText(const std::string& reason);

}  // namespace fw
