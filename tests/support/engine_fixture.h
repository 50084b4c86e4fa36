#pragma once
// A TForm1 over a fresh engine, a fake clock and scripted dialogs, as tests drive it.
// The engine keeps its own start values: a page's test sets only what it needs.
#include "app/session.h"
#include "ui/clock.h"
#include "ui/scripted_dialogs.h"

namespace fw::test {

struct FormFixture : Session::Clocked<ui::FakeClock>, Session {
  ui::ScriptedDialogs dialogs;

  explicit FormFixture(Platform platform = {}) : Session(clock) {
    if (platform.dialogs == nullptr) platform.dialogs = &dialogs;
    BuildForm(platform, false);
  }
  // The form goes before the dialogs it was handed.
  ~FormFixture() { form.reset(); }
};

}  // namespace fw::test
