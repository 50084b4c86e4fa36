#pragma once
// The selected playback slot of file playback, as the mouse hook sets it.
namespace fw {

class TForm1;

void SetSelectedPlaybackSlot(TForm1& form, int slot);

}  // namespace fw
