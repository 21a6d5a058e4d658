#pragma once

#include "definition.h"

#include <array>
#include <chrono>
#include <cstdint>
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
// A moment as a 24-hour clock shows it: "23:40", or with its seconds "23:40:12"; where the
// desktop has no format of its own.
std::string clockTime(std::time_t when, bool seconds = false);
// The second action of the notifications that tell of the end: the end put off.
inline constexpr char LaterWords[] = "10 more minutes";
inline constexpr std::int32_t LaterSeconds = 600;

// The program's two windows.
const WindowDefinition &frmMain();
const WindowDefinition &frmShutDown();

} // namespace ui
