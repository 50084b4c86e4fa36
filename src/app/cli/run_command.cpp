#include "app/cli/commands.h"

namespace fw::cli {

void AddRunCommand(CLI::App& app) { (void)app; }

}  // namespace fw::cli
