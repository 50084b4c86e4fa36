#pragma once
// The window's look: Fusion, and Liberation Sans Bold at 13 pixels, loaded from its file so every
// machine draws the same; the desktop's sans serif, bold, when the file is missing.
#include <QFont>

class QStyle;

namespace fw::qt {

inline constexpr const char* kWindowFontFile = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf";
inline constexpr int kWindowFontPixels = 13;

QFont LoadWindowFont();
// Fusion with tabs narrow enough for the seven main pages to fit the window's width.
QStyle* MakeWindowStyle();

}  // namespace fw::qt
