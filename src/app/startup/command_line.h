#pragma once
// The program entry's command-line rules: no argument or two and more start
// normally, exactly "1" starts without a task-bar button, any other single argument
// ends the program at once. Only a start without arguments opens the local help page.
#include <string>
#include <vector>

namespace fw {

class Shell;
class SystemServices;

enum class StartMode { Normal, NoTaskbarButton, EndAtOnce };

struct StartPlan {
  StartMode mode = StartMode::Normal;
  bool openHelpPage = false;
};

// arguments: the command line without the program name.
StartPlan PlanStart(const std::vector<std::string>& arguments);

inline constexpr const char* kLocalHelpPage = "help_nd.htm";

// Applies the plan before the window exists: opens the help page from the program
// directory (a failure is ignored) or ends the program. Returns whether to go on and
// create the window.
bool RunProgramEntry(const StartPlan& plan, SystemServices& system, Shell* shell);

}  // namespace fw
