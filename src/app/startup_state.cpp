#include "app/startup_state.h"

#include <memory>

#include "app/form1.h"

namespace fw {

StartupState& StartupOf(TForm1& form) {
  if (!form.startup) form.startup = std::make_unique<StartupState>();
  return *form.startup;
}

}  // namespace fw
