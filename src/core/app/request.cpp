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
    if (commandLine.action == CommandLine::Action::Cancel) {
        request.kind = Kind::Cancel;
    } else if (commandLine.inSeconds) {
        request.kind = Kind::Start;
        request.seconds = *commandLine.inSeconds;
    }
    return request;
}

bool Request::valid() const
{
    return kind != Kind::Start || (seconds >= 1 && seconds <= LongestSpan);
}

std::string Request::text() const
{
    const std::string mode = dryRun ? " dry" : " real";
    switch (kind) {
    case Kind::Start:
        return "start " + std::to_string(seconds) + mode;
    case Kind::Cancel:
        return "cancel" + mode;
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
    if (verb == "raise")
        return words.size() == 1 ? std::optional(request) : std::nullopt;
    if (verb != "start" && verb != "cancel")
        return std::nullopt;
    const std::string &mode = words.back();
    if (words.size() != (verb == "start" ? 3u : 2u) || (mode != "dry" && mode != "real"))
        return std::nullopt;
    request.dryRun = mode == "dry";
    request.kind = verb == "start" ? Kind::Start : Kind::Cancel;
    if (request.kind == Kind::Start) {
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
