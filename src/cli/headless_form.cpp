#include "cli/headless_form.h"

namespace fw::cli {

HeadlessForm::HeadlessForm() {
  Platform platform;
  platform.dialogs = &dialogs;
  platform.system = &system;
  form = std::make_unique<TForm1>(*engine, loop, platform);
}

}  // namespace fw::cli
