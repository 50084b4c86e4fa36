#include "app/startup/command_line.h"

#include "app/shell.h"
#include "app/system_services.h"

namespace fw {

StartPlan PlanStart(const std::vector<std::string>& arguments) {
  StartPlan plan;
  if (arguments.size() == 1) {
    plan.mode = arguments[0] == "1" ? StartMode::NoTaskbarButton : StartMode::EndAtOnce;
  }
  plan.openHelpPage = arguments.empty();
  return plan;
}

bool RunProgramEntry(const StartPlan& plan, SystemServices& system, Shell* shell) {
  if (plan.openHelpPage && shell != nullptr) shell->Open(system.ProgramDirectory() + kLocalHelpPage);
  if (plan.mode == StartMode::EndAtOnce) {
    system.EndProgramNow();
    return false;
  }
  return true;
}

}  // namespace fw
