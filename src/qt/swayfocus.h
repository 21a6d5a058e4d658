#pragma once

#include <QString>

namespace ui::qt {

// sway keeps a full-screen window above every other, whatever a program asks for, and turns
// requests to be activated into a mark on the window. Its own command still brings a window of
// this program to the front, out of the scratchpad too, ending the full screen that covered it.
// Does nothing outside sway (SWAYSOCK names its command socket).
void focusOnSway(const QString &title);

} // namespace ui::qt
