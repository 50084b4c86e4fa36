// The "REALTIME" page.
#include "app/form1.h"
#include "app/pages/pages.h"

namespace fw {

void BuildRealtimeControls(TForm1& form) {
  form.AddButton("Button_RUN_RT", "REALTIME", "Start");
  form.AddButton("Button_STOP_RT", "REALTIME", "Stop").SetEnabled(false);
}

}  // namespace fw
