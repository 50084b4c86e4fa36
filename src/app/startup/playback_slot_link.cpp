#include "app/startup/playback_slot_link.h"

#include "app/form1.h"

namespace fw {

void SetSelectedPlaybackSlot(TForm1& form, int slot) { (void)form, (void)slot; }

}  // namespace fw
