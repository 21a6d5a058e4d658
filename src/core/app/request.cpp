#include "request.h"

#include <array>
#include <cstdio>
#include <vector>

namespace app {

namespace {

struct AnswerText {
    Answer answer;
    const char *name;
    int status;
    const char *words;
};

const std::array<AnswerText, AnswerCount> Answers{{
    {Answer::Done, "Done", 0, ""},
    {Answer::NothingToStop, "NothingToStop", 0, "The running Veltrane was not counting down."},
    {Answer::WarningOpen, "WarningOpen", 1,
     "The running Veltrane's warning is open: cancel it first (veltrane --cancel, or its Cancel "
     "button)."},
    {Answer::RehearsalRunning, "RehearsalRunning", 1,
     "The running Veltrane is a rehearsal (--dry-run): give --dry-run too, or close it first."},
    {Answer::RealTimerRunning, "RealTimerRunning", 1,
     "The running Veltrane is a real timer: a rehearsal (--dry-run) cannot change it."},
    {Answer::NotUnderstood, "NotUnderstood", 2,
     "The running Veltrane did not understand the request: is it another version?"},
    {Answer::NoneRunning, "NoneRunning", 1, "No Veltrane is running."},
    {Answer::NoAnswer, "NoAnswer", 1, "The running Veltrane did not answer."},
    {Answer::NotCounting, "NotCounting", 1, "The running Veltrane was not counting down."},
}};

const AnswerText &entry(Answer answer)
{
    return Answers[static_cast<std::size_t>(answer)];
}

} // namespace

Request Request::from(const CommandLine &commandLine)
{
    Request request;
    request.dryRun = commandLine.dryRun;
    using Action = CommandLine::Action;
    if (commandLine.action == Action::Cancel) {
        request.kind = Kind::Cancel;
    } else if (commandLine.action == Action::Snooze) {
        request.kind = Kind::Snooze;
        request.seconds = commandLine.snoozeSeconds;
    } else if (commandLine.action == Action::Status) {
        request.kind = Kind::Status;
    } else if (commandLine.inSeconds) {
        request.kind = Kind::Start;
        request.seconds = *commandLine.inSeconds;
        request.quiet = commandLine.quiet;
    }
    return request;
}

bool Request::valid() const
{
    return (kind != Kind::Start && kind != Kind::Snooze) ||
           (seconds >= 1 && seconds <= LongestSpan);
}

std::string Request::text() const
{
    const std::string mode = dryRun ? " dry" : " real";
    switch (kind) {
    case Kind::Start:
        return "start " + std::to_string(seconds) + mode + (quiet ? " quiet" : "");
    case Kind::Snooze:
        return "snooze " + std::to_string(seconds) + mode;
    case Kind::Cancel:
        return "cancel" + mode;
    case Kind::Status:
        return "status";
    case Kind::Raise:
        break;
    }
    return "raise";
}

std::optional<Request> Request::fromText(const std::string &text)
{
    // Words split at single spaces; no iostreams: they would double the Windows program.
    std::vector<std::string> words{""};
    for (const char letter : text) {
        if (letter == ' ')
            words.emplace_back();
        else
            words.back().push_back(letter);
    }
    Request request;
    const std::string &verb = words.front();
    if (verb == "raise" || verb == "status") {
        request.kind = verb == "raise" ? Kind::Raise : Kind::Status;
        return words.size() == 1 ? std::optional(request) : std::nullopt;
    }
    // Options after the mode: a start from a later version may carry ones this one ignores.
    const bool spanned = verb == "start" || verb == "snooze";
    if (verb == "start" && words.size() > 3) {
        for (std::size_t option = 3; option < words.size(); ++option)
            request.quiet = request.quiet || words[option] == "quiet";
        words.resize(3);
    }
    if (!spanned && verb != "cancel")
        return std::nullopt;
    const std::string &mode = words.back();
    if (words.size() != (spanned ? 3u : 2u) || (mode != "dry" && mode != "real"))
        return std::nullopt;
    request.dryRun = mode == "dry";
    request.kind = verb == "start" ? Kind::Start : verb == "snooze" ? Kind::Snooze : Kind::Cancel;
    if (spanned) {
        const std::string &number = words[1];
        if (number.empty() || number.size() > 5 ||
            number.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        request.seconds = std::stoi(number);
    }
    return request.valid() ? std::optional(request) : std::nullopt;
}

std::string words(Answer answer)
{
    return entry(answer).words;
}

int exitStatus(Answer answer)
{
    return entry(answer).status;
}

std::string name(Answer answer)
{
    return entry(answer).name;
}

std::optional<Answer> answerNamed(const std::string &name)
{
    for (const AnswerText &text : Answers)
        if (name == text.name)
            return text.answer;
    return std::nullopt;
}

int report(Answer answer)
{
    const int status = exitStatus(answer);
    if (answer != Answer::Done) {
        std::FILE *out = status == 0 ? stdout : stderr;
        std::fprintf(out, "%s\n", words(answer).c_str());
        std::fflush(out);
    }
    return status;
}

} // namespace app
