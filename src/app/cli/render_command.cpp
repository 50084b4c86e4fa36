#include "app/cli/commands.h"

namespace fw::cli {

void AddRenderCommand(CLI::App& app) { (void)app; }

}  // namespace fw::cli
