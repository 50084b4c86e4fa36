#include "app/startup/startup_state.h"

#include <memory>

#include "app/form1.h"

namespace fw {

StartupState& StartupOf(TForm1& form) {
  if (!form.shell) form.shell = std::make_shared<StartupState>();
  return *static_cast<StartupState*>(form.shell.get());
}

}  // namespace fw
