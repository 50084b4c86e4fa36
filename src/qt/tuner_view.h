#pragma once
// The "Tuner" page's drawings, placed in the page's two paint boxes: the tuner
// (a large note name, a bar for the cents, green within ±3 cents) and the input and
// output level meters (peak, peak hold, clip light). Both redraw after each poll of
// the page's timer.
class QWidget;

namespace fw {
class TForm1;
}

namespace fw::qt {

// Fills "PaintBox_Tuner" and "PaintBox_Meters" under `window`.
void InstallTunerViews(TForm1& form, QWidget& window);

}  // namespace fw::qt
