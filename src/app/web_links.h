#pragma once
// The web and mail addresses behind the link buttons, filled once at start-up, and
// the local copies of the pages.
#include <array>
#include <string_view>

namespace fw {

enum class WebLink { Home, Upgrade, Russian, SoundCardSetUp, OnlineHelp, Mail, Presets, Forum };

inline constexpr std::array<std::string_view, 8> kWebLinks = {
    "https://fretwerk.example.org/",
    "https://fretwerk.example.org/download/",
    "https://fretwerk.example.org/ru/",
    "https://fretwerk.example.org/docs/sound-card-setup.html",
    "https://fretwerk.example.org/help_nd.htm",
    "mailto:hardware@fretwerk.example.org",
    "https://fretwerk.example.org/presets/",
    "https://fretwerk.example.org/forum/",
};

inline constexpr std::string_view WebAddress(WebLink link) {
  return kWebLinks[static_cast<std::size_t>(link)];
}

// The copies of the pages that ship in the program directory, opened when the web
// site cannot be reached; empty: no copy.
inline constexpr std::array<std::string_view, 8> kLocalPages = {
    "home.htm", "upgrade.htm", "russian.htm", "sound_card_setup.htm", "help_nd.htm", "", "", "",
};

inline constexpr std::string_view LocalPage(WebLink link) {
  return kLocalPages[static_cast<std::size_t>(link)];
}

}  // namespace fw
