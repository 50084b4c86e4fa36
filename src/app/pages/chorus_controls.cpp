#include "app/form1.h"
#include "app/pages/pages.h"

namespace fw {

void BuildChorusControls(TForm1& form) { (void)form; }

}  // namespace fw
