#pragma once
// What the "Playback" and "Record" pages offer the rest of the window.
namespace fw {

class TForm1;
class FilePlayer;
class Recorder;

FilePlayer& PlayerOf(TForm1& form);
Recorder& RecorderOf(TForm1& form);

// The slot switch of the right mouse button: selects slot 0 (A) or 1 (B) for the
// file reader's next refill and shows "File=A" or "File=B" in the status bar.
void SelectPlaybackSlot(TForm1& form, int slot);
// Flips the selected slot as above; returns the slot now selected.
int SwitchPlaybackSlot(TForm1& form);

// The file timers force the read chunk to 10240 for the card kinds other than
// "Any (SB Live, etc.)" (a missing card group counts as "Any").
void ForceFileReadChunkForCard(TForm1& form);

// Rebuilds the "Buffer Size" items for the engine rate (44.1 kHz option on or off)
// and selects item 0; start-up and the 44.1 kHz option's handler call it.
void SetRecordBufferSizeItems(TForm1& form, bool hiQuality);

}  // namespace fw
