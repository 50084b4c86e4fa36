#pragma once
// Builds a notebook page from the model's controls that name it as their page, in
// creation order: a label with the scroll bar after it becomes one captioned bar,
// vertical bars with their labels stand side by side as bands, a short label before
// other controls heads a section, and a page too tall for one column flows into two.
// A page holding a notebook shows that notebook, built the same way.
#include <string>

class QTabWidget;
class QWidget;

namespace fw {
class TForm1;
namespace ui {
class PageControl;
}
}  // namespace fw

namespace fw::qt {

// height: the room the page has inside its notebook.
QWidget* BuildPage(TForm1& form, const std::string& page, int height, QWidget* parent);
// A notebook with its pages; height: the notebook's own.
QTabWidget* BuildNotebook(TForm1& form, ui::PageControl& control, int height, QWidget* parent);

}  // namespace fw::qt
