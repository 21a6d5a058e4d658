#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace app {

// What the command line asks for. Without arguments the program simply runs.
struct CommandLine {
    enum class Action { Run, Cancel, Snooze, Status, ShowVersion, ShowHelp, Refuse };

    Action action = Action::Run;
    bool dryRun = false;
    bool quiet = false;                    // no heads-up before the end
    std::optional<std::int32_t> inSeconds; // --in: start at once, from this span
    std::optional<int> atMinute;           // --at: start, until this minute of the day
    std::optional<std::time_t> until;      // --at resolved: that time of the clock
    std::int32_t snoozeSeconds = 600;      // --snooze: the new span, 10 minutes unless given
    std::string text;                      // what to print for the version, the help or the refusal

    // The arguments after the program's name.
    static CommandLine parse(const std::vector<std::string> &arguments);
    // The exit status for an action that ends before any window opens.
    int exitStatus() const { return action == Action::Refuse ? 2 : 0; }
    // At `now`, turns --at into the span until its next minute of the local day, or into a
    // refusal when that is more than 23:59:59 away (on a day with an hour more).
    void resolve(std::time_t now);
};

// The longest span the fields hold: 23:59:59.
inline constexpr std::int32_t LongestSpan = 23 * 3600 + 59 * 60 + 59;

// "1:30:00", "05:00", "90m", "1h30m", "45s" as seconds, from 1 to 23:59:59; none otherwise.
std::optional<std::int32_t> parseSpan(const std::string &text);
// "23:30" as minutes of the day; none otherwise.
std::optional<int> parseClock(const std::string &text);
// Seconds from `now` until the next `minute` of the local day: that minute today when it is not
// past yet (0 when it is now), else tomorrow's, daylight saving time included.
std::int64_t secondsUntil(std::time_t now, int minute);

} // namespace app
