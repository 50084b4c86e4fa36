// The "Help" page: twelve fixed lines and four links that open in the browser.
#include "app/form1.h"
#include "app/pages/pages.h"
#include "app/pages/web_link.h"

namespace fw {
namespace {

void Link(TForm1& form, const char* name, const char* caption, WebLink link) {
  form.AddButton(name, "Help", caption, ui::ButtonKind::Bitmap).OnClick = [&form, link] {
    OpenWebLink(form, link);
  };
}

}  // namespace

void BuildHelpControls(TForm1& form) {
  form.AddListBox("ListBox2", "Help")
      .SetItems({
          "Fretwerk 2.18: your guitar, your computer, your sound.",
          "Plug in a guitar into a sound card's line or mic input,",
          "run this software and enjoy with Stereo Reverb,",
          "Chorus, Flanger, Delay, Distortion, Filters.",
          "",
          "Questions, reports and ideas:",
          "  hardware@fretwerk.example.org",
          "Home page and downloads:",
          "  https://fretwerk.example.org/",
          "More presets from other players:",
          "  https://fretwerk.example.org/presets/",
          "The local guide: help_nd.htm in the program directory.",
      });
  Link(form, "BitBtn_MainHelp", "&Main Help", WebLink::Home);
  Link(form, "BitBtn_HelpOnLine1", "&On-Line Upgrade ", WebLink::Upgrade);
  Link(form, "BitBtn_ForRussian", "&For Russian", WebLink::Russian);
  Link(form, "BitBtn3", "Sound card Set-Up", WebLink::SoundCardSetUp);
}

}  // namespace fw
