#pragma once
// A TForm1 over a fresh engine, a fake clock and scripted dialogs, as tests drive it.
#include <memory>

#include "app/form1.h"
#include "engine/engine.h"
#include "ui/clock.h"
#include "ui/scripted_dialogs.h"
#include "ui/window_loop.h"

namespace fw::test {

struct FormFixture {
  std::unique_ptr<Engine> engine = MakeEngine();
  ui::FakeClock clock;
  ui::WindowLoop loop{clock};
  ui::ScriptedDialogs dialogs;
  std::unique_ptr<TForm1> form;

  explicit FormFixture(Platform platform = {}) {
    if (platform.dialogs == nullptr) platform.dialogs = &dialogs;
    form = std::make_unique<TForm1>(*engine, loop, platform);
  }
};

}  // namespace fw::test
