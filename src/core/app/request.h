#pragma once

#include "app/commandline.h"

#include <cstdint>
#include <optional>
#include <string>

namespace app {

// What a second start of the program asks of the one already running, over whatever the
// platform carries it by; checked like the command line before anything happens.
struct Request {
    enum class Kind { Raise, Start, Cancel, Snooze, Status };
    Kind kind = Kind::Raise;
    std::int32_t seconds = 0; // Start, Snooze: the span, 1 s to 23:59:59
    bool dryRun = false;      // the second start's: a rehearsal never reaches a real timer
    bool quiet = false;       // Start: no heads-up before the end

    // What a command line to run or to cancel asks of a running one; --at resolved.
    static Request from(const CommandLine &commandLine);
    bool valid() const;
    // "raise", "start 5400 real", "start 600 dry quiet", "cancel dry", "snooze 600 real",
    // "status": the form a window message carries it in.
    std::string text() const;
    static std::optional<Request> fromText(const std::string &text);
};

// Whether this start is the first of the desktop session, and serves later ones; or a later one;
// or, where the session offers no way to tell, one on its own.
enum class Claim { Owned, Taken, Alone };

// The answer the second start prints, and exits with the status of.
enum class Answer {
    Done,
    NothingToStop,
    WarningOpen,
    RehearsalRunning,
    RealTimerRunning,
    NotUnderstood,
    NoneRunning,
    NoAnswer,
    NotCounting,
};
inline constexpr int AnswerCount = 9;

// Words for the user; none for Done.
std::string words(Answer answer);
// 0 done (or nothing to do), 1 refused or not reached, 2 not understood.
int exitStatus(Answer answer);
// "WarningOpen": the name the answer travels under, as a bus error's last part.
std::string name(Answer answer);
std::optional<Answer> answerNamed(const std::string &name);
// Prints the words, on standard error where the answer is a refusal; gives the exit status.
int report(Answer answer);

} // namespace app
