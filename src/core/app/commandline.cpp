#include "commandline.h"

#include "version.h"

#include <algorithm>
#include <cctype>

namespace app {

namespace {

const char Usage[] =
    "Usage: veltrane [options]\n"
    "Turns the computer off when the time set has run out, after a last warning of 30 seconds.\n"
    "\n"
    "Options:\n"
    "  --in SPAN      Start counting down at once from SPAN: H:MM:SS, MM:SS, or 90m,\n"
    "                 1h30m, 45s; from 1 second to 23:59:59.\n"
    "  --at HH:MM     Start counting down to the next HH:MM of the local clock.\n"
    "  --cancel       Stop the running Veltrane's countdown, or cancel its warning.\n"
    "  --snooze [SPAN]\n"
    "                 Put the running Veltrane's end off: cancel its warning if it is\n"
    "                 open, and count down from SPAN (10 minutes unless given).\n"
    "  --status       Print what the running Veltrane is doing; exit status 0 when it\n"
    "                 is counting down or warning, 1 otherwise.\n"
    "  --quiet        No notification 5 minutes and 1 minute before the end.\n"
    "  --dry-run      Do everything but the power-off request itself, and print\n"
    "                 a line instead.\n"
    "  -h, --help     Show this help and exit.\n"
    "  -v, --version  Show the version and exit.\n"
    "\n"
    "Only one Veltrane runs in a desktop session: started again, it brings the running one\n"
    "to the front, or hands it --in, --at, --cancel or --snooze."
#ifdef _WIN32
    "\n\n"
    "At a cmd or PowerShell prompt, \"veltrane\" is veltrane.com: it waits for the answer\n"
    "and gives its exit status (%ERRORLEVEL%, $LASTEXITCODE). /? is --help. Task Scheduler\n"
    "and shortcuts start veltrane.exe, which does not make a prompt wait."
#endif
    ;

const char SpanForms[] = "give H:MM:SS, MM:SS, or a span such as 90m, 1h30m or 45s, from "
                         "1 second to 23:59:59";

// A number of at most `digits` digits at `at`, which moves past it.
std::optional<long> number(const std::string &text, std::size_t &at, std::size_t digits)
{
    const std::size_t from = at;
    long value = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) &&
           at - from < digits)
        value = value * 10 + (text[at++] - '0');
    if (at == from)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::int32_t> parseSpan(const std::string &text)
{
    std::size_t at = 0;
    long total = 0;
    if (text.find(':') != std::string::npos) {
        // H:MM:SS or MM:SS: the fields after the first have two digits, below 60.
        std::vector<long> fields;
        while (true) {
            const std::size_t from = at;
            const auto field = number(text, at, 2);
            if (!field || (!fields.empty() && (at - from != 2 || *field > 59)))
                return std::nullopt;
            fields.push_back(*field);
            if (at == text.size())
                break;
            if (text[at++] != ':')
                return std::nullopt;
        }
        if (fields.size() < 2 || fields.size() > 3 ||
            fields.front() > (fields.size() == 3 ? 23 : 59))
            return std::nullopt;
        for (const long field : fields)
            total = total * 60 + field;
    } else {
        // 1h30m45s, each unit at most once, in that order.
        const char units[] = {'h', 'm', 's'};
        const long seconds[] = {3600, 60, 1};
        std::size_t unit = 0;
        while (at < text.size()) {
            const auto count = number(text, at, 5);
            if (!count || at == text.size())
                return std::nullopt;
            while (unit < 3 && units[unit] != text[at])
                ++unit;
            if (unit == 3)
                return std::nullopt;
            total += *count * seconds[unit++];
            ++at;
        }
    }
    if (at != text.size() || total < 1 || total > LongestSpan)
        return std::nullopt;
    return static_cast<std::int32_t>(total);
}

std::optional<int> parseClock(const std::string &text)
{
    std::size_t at = 0;
    const auto hour = number(text, at, 2);
    if (!hour || at == text.size() || text[at++] != ':')
        return std::nullopt;
    const std::size_t minutesFrom = at;
    const auto minute = number(text, at, 2);
    if (!minute || at != text.size() || at - minutesFrom != 2 || *hour > 23 || *minute > 59)
        return std::nullopt;
    return static_cast<int>(*hour * 60 + *minute);
}

std::int64_t secondsUntil(std::time_t now, int minute)
{
    std::tm local = *std::localtime(&now);
    for (int days = 0;; ++days) {
        std::tm then = local;
        then.tm_mday += days;
        then.tm_hour = minute / 60;
        then.tm_min = minute % 60;
        then.tm_sec = 0;
        then.tm_isdst = -1; // as the day has it: summer or winter time
        const std::time_t at = std::mktime(&then);
        if (at >= now)
            return static_cast<std::int64_t>(at - now);
    }
}

void CommandLine::resolve(std::time_t now)
{
    if (action != Action::Run || !atMinute)
        return;
    // At that very second: the warning at once, a second on.
    const std::int64_t until = std::max<std::int64_t>(secondsUntil(now, *atMinute), 1);
    if (until <= LongestSpan) {
        inSeconds = static_cast<std::int32_t>(until);
        this->until = now + until;
        return;
    }
    action = Action::Refuse;
    text = "--at: the next such time is more than 23:59:59 away (a day with an hour more); "
           "give --in instead.";
}

CommandLine CommandLine::parse(const std::vector<std::string> &arguments)
{
    CommandLine result;
    bool help = false;
    bool version = false;
    bool cancel = false;
    bool snooze = false;
    bool status = false;
    std::string refusal;
    const auto refuse = [&refusal](const std::string &why) {
        if (refusal.empty())
            refusal = why;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        std::vector<std::string> options;
        std::optional<std::string> value; // --in=1:00:00
        if (argument.rfind("--", 0) == 0 && argument.size() > 2) {
            const std::size_t equals = argument.find('=');
            options.push_back(argument.substr(2, equals - 2));
            if (equals != std::string::npos)
                value = argument.substr(equals + 1);
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "--") {
            for (char letter : argument.substr(1)) // short options may be run together: -hv
                options.emplace_back(1, letter);
        } else {
            refuse("Unexpected argument '" + argument + "'.");
        }
        for (const std::string &option : options) {
            const bool takesValue = option == "in" || option == "at";
            // --snooze's span may be left out: the next argument is its only if not an option.
            if (option == "snooze" && !value && i + 1 < arguments.size() &&
                arguments[i + 1].rfind('-', 0) != 0)
                value = arguments[++i];
            if (option == "snooze") {
                snooze = true;
                if (value && !(result.snoozeSeconds = parseSpan(*value).value_or(0)))
                    refuse("--snooze " + *value + " is not a span of time: " + SpanForms + ".");
                continue;
            }
            if (takesValue && !value) {
                if (i + 1 == arguments.size()) {
                    refuse("--" + option + " needs a value: " +
                           (option == "in" ? std::string(SpanForms) : "give HH:MM") + ".");
                    continue;
                }
                value = arguments[++i];
            } else if (!takesValue && value) {
                refuse("--" + option + " takes no value.");
            }
            if (option == "dry-run") {
                result.dryRun = true;
            } else if (option == "quiet") {
                result.quiet = true;
            } else if (option == "cancel") {
                cancel = true;
            } else if (option == "status") {
                status = true;
            } else if (option == "h" || option == "help") {
                help = true;
            } else if (option == "v" || option == "version") {
                version = true;
            } else if (option == "in") {
                result.inSeconds = parseSpan(*value);
                if (!result.inSeconds)
                    refuse("--in " + *value + " is not a span of time: " + SpanForms + ".");
            } else if (option == "at") {
                result.atMinute = parseClock(*value);
                if (!result.atMinute)
                    refuse("--at " + *value +
                           " is not a time of day: give HH:MM, from 00:00 to 23:59.");
            } else {
                refuse("Unknown option '" + option + "'.");
            }
        }
    }
    if (refusal.empty() && result.inSeconds && result.atMinute)
        refuse("--in and --at cannot be given together: give one.");
    if (refusal.empty() && cancel && (result.inSeconds || result.atMinute))
        refuse("--cancel cannot be given with --in or --at.");
    if (refusal.empty() &&
        int(cancel) + int(snooze) + int(status) + int(result.inSeconds || result.atMinute) > 1)
        refuse("--in, --at, --cancel, --snooze and --status ask for different things: give one.");
    if (!refusal.empty()) {
        result.action = Action::Refuse;
        result.text = refusal + "\nTry 'veltrane --help'.";
    } else if (help) {
        result.action = Action::ShowHelp;
        result.text = Usage;
    } else if (version) {
        result.action = Action::ShowVersion;
        result.text = "Veltrane " VELTRANE_VERSION;
    } else if (cancel) {
        result.action = Action::Cancel;
    } else if (snooze) {
        result.action = Action::Snooze;
    } else if (status) {
        result.action = Action::Status;
    }
    return result;
}

} // namespace app
