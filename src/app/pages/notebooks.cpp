// The three tabbed notebooks: the main one with eight pages (opening on "REALTIME"),
// "Effects" with six (opening on "EQ") and "Distortions" with four. A control's
// page name says which page holds it; the strip under the notebook has none.
#include "app/form1.h"
#include "app/pages/pages.h"

namespace fw {

void BuildNotebooks(TForm1& form) {
  form.AddPageControl("PageControl1", "",
                      {"Presets", "Effects", "Playback", "Record", "REALTIME", "Help", "Distortion", "Tuner"},
                      4);
  form.AddPageControl("PageControl_Effects", "Effects",
                      {"Distortions", "Reverb", "Delay/Chorus", "EQ", "Flanger", "Hardware"}, 3);
  form.AddPageControl("PageControl_Distortions", "Distortions",
                      {" SHREDDER  Pro  ", "Filters 1", "Filters 2", "Distortion Presets"}, 0);
}

}  // namespace fw
