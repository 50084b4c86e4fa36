#pragma once
// Until the window's activation sequence exists, live tests design the filters the
// way it does: every effect control is set to its own position once more (so its
// handler runs), and the fixed section is designed. Devices, files and the output
// volume (start-up leaves its gain at 1.0) are left alone.
#include <set>
#include <string>

#include "app/form1.h"
#include "tone/tone_filters.h"

namespace fw::test {

inline void DesignChainAsActivationWould(TForm1& form) {
  static const std::set<std::string> kLeaveAlone = {
      "ScrollBar_OutPut_Volume", "RadioGroup_NameOfSC", "RadioGroup_OUT_MONO_",         "RadioGroup_IRQ",
      "RadioGroup_DMA8",         "RadioGroup_DMA16",    "RadioGroup_WAV_WRITE_BUF_SIZE"};
  for (ui::Control* control : form.Controls()) {
    if (kLeaveAlone.count(control->Name()) != 0) continue;
    if (auto* bar = dynamic_cast<ui::ScrollBar*>(control)) {
      const int p = bar->Position();
      bar->SetPosition(p == bar->Max() ? p - 1 : p + 1);
      bar->SetPosition(p);
    } else if (auto* group = dynamic_cast<ui::RadioGroup*>(control)) {
      const int i = group->ItemIndex();
      if (group->Items().size() < 2 || i < 0) continue;
      group->SetItemIndex(i == 0 ? 1 : 0);
      group->SetItemIndex(i);
    }
  }
  DesignFixedSection(form.engine.filters, kFilterDesignRate);
}

}  // namespace fw::test
