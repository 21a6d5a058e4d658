#pragma once

#include "definition.h"

// Which face draws a font of the definitions, for every runtime alike.
namespace ui {

inline constexpr char DigitFace[] = "BankGothic Md BT";
// A wide, squared face under the SIL Open Font License, shipped with the program.
inline constexpr char BundledDigitFace[] = "Michroma";

// The font as asked where its face is installed. Otherwise the time fields' face is the bundled
// one, at 5/6 of the size because it runs wider, so that two digits still fit their field; and
// any other face is the desktop's own interface face (an empty name) at the size asked for.
Font shownFont(const Font &asked, bool installed);

} // namespace ui
