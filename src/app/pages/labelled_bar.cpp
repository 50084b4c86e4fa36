#include "app/pages/labelled_bar.h"

#include "app/form1.h"

namespace fw {

ui::ScrollBar& AddLabelledBar(TForm1& form, const std::string& page, const LabelledBar& bar) {
  form.AddLabel(bar.label, page, bar.caption);
  auto& control = form.AddScrollBar(bar.name, page, bar.min, bar.max, bar.position);
  control.OnChange = [&form, &control, apply = bar.apply] { apply(form, control.Position()); };
  AttachReadout(form, control, bar.readout);
  return control;
}

void AddLabelledBars(TForm1& form, const std::string& page, std::span<const LabelledBar> bars) {
  for (const LabelledBar& bar : bars) AddLabelledBar(form, page, bar);
}

}  // namespace fw
