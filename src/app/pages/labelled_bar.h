#pragma once
// The captioned slider the effect pages are made of: a label with the caption and a
// horizontal scroll bar whose every change runs `apply` with the bar's position, and
// whose readout shows what the position means.
#include <span>
#include <string>

#include "app/pages/slider_readout.h"

namespace fw {

class TForm1;
namespace ui {
class ScrollBar;
}

struct LabelledBar {
  const char* name;
  const char* label;  // the caption's control
  const char* caption;
  int min;
  int max;
  int position;  // where the bar starts; no handler runs for it
  void (*apply)(TForm1& form, int position);
  SliderReadout readout;
};

ui::ScrollBar& AddLabelledBar(TForm1& form, const std::string& page, const LabelledBar& bar);

void AddLabelledBars(TForm1& form, const std::string& page, std::span<const LabelledBar> bars);

}  // namespace fw
