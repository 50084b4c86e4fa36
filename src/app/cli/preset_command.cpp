#include "app/cli/commands.h"

namespace fw::cli {

void AddPresetCommands(CLI::App& app) { (void)app; }

}  // namespace fw::cli
