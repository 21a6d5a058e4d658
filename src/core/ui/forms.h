#pragma once

#include "definition.h"

#include <array>
#include <chrono>
#include <ctime>
#include <string>

namespace ui {

// The countdown's tick, and the warning's: one second.
inline constexpr std::chrono::milliseconds TickInterval{1000};
// How long the warning counts before the power-off is asked for.
inline constexpr int WarningSeconds = 30;
// The counts at which the warning is said again, to a screen reader and on the desktop; it is
// said in full when it opens.
inline constexpr std::array<int, 7> AnnouncedCounts{20, 10, 5, 4, 3, 2, 1};
// The warning's message at a count.
std::string countdownMessage(int secondsLeft);
// A moment as the clock shows it: "23:40", or with its seconds "23:40:12".
std::string clockTime(std::time_t when, bool seconds = false);

// The program's two windows.
const WindowDefinition &frmMain();
const WindowDefinition &frmShutDown();

} // namespace ui
