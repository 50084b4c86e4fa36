#pragma once
// The window's font: Liberation Sans Bold at 13 pixels, loaded from its file so every
// machine draws the same; the desktop's sans serif, bold, when the file is missing.
#include <QFont>

namespace fw::qt {

inline constexpr const char* kWindowFontFile = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf";
inline constexpr int kWindowFontPixels = 13;

QFont LoadWindowFont();

}  // namespace fw::qt
