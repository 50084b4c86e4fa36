#pragma once
// Builds a notebook page as the page's declared layout says (TForm1::LayoutOf). A
// page holding a notebook shows that notebook, built the same way.
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
