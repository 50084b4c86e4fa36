// fretwerk-cli controls: every control --set and preset set take, with its page and
// caption in the window, its values (a slider's also in its unit), its position after
// start-up, whether presets store it and what it does to the sound.
#include <algorithm>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "app/startup/headless_start.h"
#include "cli/commands.h"
#include "cli/control_guide.h"
#include "cli/control_setting.h"
#include "cli/headless_form.h"
#include "presets/preset_record.h"

namespace fw::cli {
namespace {

// A scroll bar's caption is the label just before it on the same page.
std::string CaptionOf(const ui::Control& control, const ui::Control* previous) {
  if (!control.Caption().empty() || control.Kind() != ui::ControlKind::ScrollBar) return control.Caption();
  if (previous != nullptr && previous->Kind() == ui::ControlKind::Label && previous->Page() == control.Page())
    return previous->Caption();
  return {};
}

std::string ValuesOf(const ui::Control& control) {
  std::ostringstream out;
  if (const auto* bar = dynamic_cast<const ui::ScrollBar*>(&control)) {
    out << bar->Min() << ".." << bar->Max();
    // A bar with a unit reads its positions as the window's readout does.
    const bool hasUnit = bar->ReadoutAt(bar->Min()) != std::to_string(bar->Min());
    if (hasUnit) out << " (" << bar->ReadoutAt(bar->Min()) << " .. " << bar->ReadoutAt(bar->Max()) << ")";
    out << ", now " << bar->Position();
    if (hasUnit) out << " = " << bar->ReadoutNow();
  } else if (const auto* box = dynamic_cast<const ui::CheckBox*>(&control)) {
    out << "0 or 1, now " << (box->Checked() ? 1 : 0);
  } else if (const auto* group = dynamic_cast<const ui::RadioGroup*>(&control)) {
    const auto& items = group->Items();
    for (std::size_t i = 0; i < items.size(); ++i)
      out << (i == 0 ? "" : ", ") << i << " \"" << items[i] << "\"";
    out << "; now " << group->ItemIndex();
  } else if (const auto* edit = dynamic_cast<const ui::Edit*>(&control)) {
    out << "text, now \"" << edit->Text() << "\"";
  } else {
    out << "a button: --set clicks it, the value is ignored";
  }
  return out.str();
}

void ShowControl(const ui::Control& control, const std::string& caption) {
  std::cout << control.Name();
  if (!caption.empty()) std::cout << "  \"" << caption << "\"";
  std::cout << "\n    " << ValuesOf(control);
  if (FindStoredControl(control.Name())) std::cout << "; preset";
  std::cout << "\n";
  if (const std::string_view what = WhatItDoes(control.Name()); !what.empty())
    std::cout << "    " << what << "\n";
}

int ListControls() {
  HeadlessForm window;
  TForm1& form = *window.form;
  bool started = false;
  form.RunCommand([&] {
    StartHeadless(form, "");
    started = true;
  });
  if (!started)
    std::cerr << "fretwerk-cli controls: note: the start-up preset could not be loaded; \"now\" shows the "
                 "positions the window is created with\n";
  std::cout << "Every control `--set NAME=VALUE` (render, run) and `preset set` take; names in any letter "
               "case.\n\"now\" is the position after start-up (the clean preset loaded); \"preset\" marks "
               "what preset files store.\n";
  // Page by page, in the order the window builds them.
  std::vector<std::string> pages;
  std::vector<std::pair<const ui::Control*, std::string>> settable;
  const ui::Control* previous = nullptr;
  for (const ui::Control* control : form.Controls()) {
    if (IsSettable(*control)) {
      settable.emplace_back(control, CaptionOf(*control, previous));
      if (std::find(pages.begin(), pages.end(), control->Page()) == pages.end())
        pages.push_back(control->Page());
    }
    previous = control;
  }
  for (const std::string& page : pages) {
    std::cout << "\n[" << (page.empty() ? "main window" : page) << "]\n";
    for (const auto& [control, caption] : settable) {
      if (control->Page() == page) ShowControl(*control, caption);
    }
  }
  std::cout << "\nPreset words without a control: TubeOn 0..1 (tube stages on), TubeVoicing 0..2 (their "
               "voicing); preset set only.\n";
  return 0;
}

}  // namespace

void AddControlsCommand(CLI::App& app) {
  auto* controls = app.add_subcommand(
      "controls", "List every control --set and preset set take: page, caption, values, start, unit, effect");
  controls->callback([] {
    if (const int code = ListControls(); code != 0) throw CLI::RuntimeError(code);
  });
}

}  // namespace fw::cli
