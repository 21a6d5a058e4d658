// The decisions both runtimes take from the core, each checked once, on Linux and under Wine.
#include "app/commandline.h"
#include "app/request.h"
#include "app/status.h"
#include "check.h"
#include "timer/fieldtext.h"
#include "ui/buttonproperties.h"
#include "ui/captionfit.h"
#include "ui/contrast.h"
#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/tickschedule.h"

#include <cstdlib>
#include <ctime>
#include <vector>

using namespace ui;
using namespace std::chrono_literals;

namespace {

void contrastChoice()
{
    const Rgb black{0, 0, 0}, white{255, 255, 255}, digits{64, 64, 64};
    check(contrast(black, white) > 20.9 && contrast(white, black) < 21.1, "black on white: 21");
    check(contrast(digits, digits) == 1, "a colour on itself: 1");
    // The time fields' dark grey stays on a light face, and gives way on a dark scheme.
    check(readable(digits, {240, 240, 240}, black, TextContrast) == digits, "readable: kept");
    check(readable(digits, {45, 45, 48}, white, TextContrast) == white, "unreadable: the scheme's");
    check(readable(digits, {118, 118, 118}, white, BorderContrast) == white &&
              readable(digits, {160, 160, 160}, white, BorderContrast) == digits,
          "a border needs less: 3 : 1");
    // Light and dark schemes, and high contrast, for a label and for the lavender button.
    const Scheme light{{240, 240, 240}, black}, dark{{45, 45, 48}, {230, 230, 230}},
        high{black, white, true};
    const Rgb lavender{175, 168, 207}, blue{0, 0, 127};
    check(textColour(digits, light) == digits && textColour(digits, dark) == dark.text &&
              textColour(digits, high) == white,
          "the digits' grey: kept on light, the scheme's on dark and under high contrast");
    const ButtonColours onLight = buttonColours(lavender, blue, light);
    const ButtonColours onDark = buttonColours(lavender, blue, dark);
    const ButtonColours onHigh = buttonColours(lavender, blue, high);
    check(onLight.face == lavender && onLight.border == blue, "the button as defined on light");
    check(onDark.face == dark.face && onDark.border == dark.text,
          "on dark: the scheme's face under the light caption, a border that shows on it");
    check(onHigh.face == black && onHigh.border == white, "high contrast: the scheme's own");
}

void captionFitting()
{
    // A caption ten pixels a point wide.
    const auto width = [](double points) { return int(points * 10); };
    check(fittedPoints(8.25, 100, width) == 8.25, "a caption that fits keeps its size");
    check(fittedPoints(8.25, 70, width) == 7, "one that does not shrinks by quarter points");
    check(fittedPoints(8.25, 10, width) == 5, "never below 5 points");
    // Six pixels a byte: the ellipsis takes three.
    const auto bytes = [](const std::string &text) { return int(text.size()) * 6; };
    check(elided("Could not turn off", 200, bytes) == "Could not turn off", "it fits whole");
    check(elided("Could not turn off", 60, bytes) == "Could n\xE2\x80\xA6",
          "or its start, and an ellipsis");
    check(elided("held back by S\xC3\xA9same", 108, bytes) == "held back by S\xE2\x80\xA6",
          "a character is never cut in two");
}

void buttonFace()
{
    const ButtonProperties cancel =
        ButtonProperties::fromSaved(control(frmShutDown(), "cmdCancel").properties);
    const Colour lavender{0x00CFA8AF};
    check(cancel.face({}) == ButtonFace && cancel.face({.down = true, .hover = true}) == lavender &&
              cancel.face({.enabled = false, .down = true}) == ButtonFace,
          "the face: lavender while pressed or under the mouse, never while disabled");
    check(cancel.shownPicture(false).name == "P7" && cancel.shownPicture(true).name == "P6",
          "the disabled picture while disabled");
    // 101 x 38 at 96 dpi, a 16-pixel picture lifted 5 pixels.
    const ButtonLayout plain = ButtonLayout::of(cancel, 101, 38, 16, 8, false);
    check(plain.pictureLeft == 42 && plain.pictureTop == 6 && plain.captionTop == 23 &&
              plain.shift == 0,
          "the picture centred and lifted, the caption below it");
    const ButtonLayout down = ButtonLayout::of(cancel, 152, 57, 24, 12, true, 1.5);
    check(down.line == 2 && down.shift == 2 && down.pictureTop == 8 && down.captionTop == 34,
          "at 150 %: a thicker border, the offset scaled, down by a line while pressed");
    bool refused = false;
    try {
        ButtonProperties::fromSaved({{"caption", ""}, {"backcolor", Colour{}}});
    } catch (const std::logic_error &) {
        refused = true;
    }
    check(refused, "a saved set out of order is refused");
}

void tickSchedule()
{
    // Seconds from a start at 7 s, on a monotonic clock.
    TickSchedule schedule(1000ms);
    check(schedule.start(7s) == 8s, "the first tick an interval after the start");
    check(schedule.next(8001ms) == 9s, "a tick late by a millisecond: the next on time");
    check(schedule.next(9999ms) == 11s, "a tick early by one: still that tick");
    check(schedule.next(13400ms) == 14s, "late by 400 ms: the next on time, no drift");
    check(schedule.next(20600ms) == 22s, "after a stall of seconds: one tick, none made up");
}

void focusAndLookup()
{
    // A spinner's focus encloses it and its own field, not a neighbour's, which the hours
    // spinner overlaps by a pixel as the window defines it.
    const auto within = [](const Rect &inner, const Rect &outer) {
        return inner.left > outer.left && inner.top > outer.top &&
               inner.left + inner.width < outer.left + outer.width &&
               inner.top + inner.height < outer.top + outer.height;
    };
    const char *const fields[] = {"lblQTimerHour", "lblQTimerMinute", "lblQTimerSecond"};
    const char *const spinners[] = {"scrollHours", "scrollMinutes", "scrollSeconds"};
    for (int i = 0; i < 3; ++i) {
        const Rect area = focusArea(frmMain(), spinners[i]);
        bool alone = within(control(frmMain(), spinners[i]).twips, area) &&
                     within(control(frmMain(), fields[i]).twips, area);
        for (int j = 0; j < 3; ++j)
            alone = alone && (j == i || !within(control(frmMain(), fields[j]).twips, area));
        check(alone, std::string(spinners[i]) + ": its focus around it and its field only");
    }
    bool refused = false;
    try {
        control(frmMain(), "cmdNone");
    } catch (const std::logic_error &) {
        refused = true;
    }
    check(refused, "a control that is not there is a programming error");
}

void spansAndTimes()
{
    const struct {
        const char *text;
        std::int32_t seconds; // 0: refused
    } spans[] = {
        {"1:30:00", 5400}, {"0:00:05", 5},  {"23:59:59", 86399}, {"45:00", 2700},
        {"90m", 5400},     {"1h30m", 5400}, {"45s", 45},         {"1h2m3s", 3723},
        {"24:00:00", 0},   {"0", 0},        {"0:00:00", 0},      {"abc", 0},
        {"5", 0},          {"1:5:00", 0},   {"1:60:00", 0},      {"60:00", 0},
        {"24h", 0},        {"1m1h", 0},     {"-5s", 0},          {"1:30:00:00", 0},
        {"", 0},           {"5s ", 0},      {"1d", 0},           {"99999999999s", 0},
    };
    for (const auto &span : spans)
        check(app::parseSpan(span.text).value_or(0) == span.seconds,
              std::string("--in ") + span.text + (span.seconds ? ": taken" : ": refused"));
    const struct {
        const char *text;
        int minute; // -1: refused
    } clocks[] = {{"23:30", 1410}, {"0:00", 0},  {"07:05", 425}, {"24:00", -1},
                  {"24:61", -1},   {"23:5", -1}, {"2330", -1},   {"23:30:00", -1}};
    for (const auto &clock : clocks)
        check(app::parseClock(clock.text).value_or(-1) == clock.minute,
              std::string("--at ") + clock.text + (clock.minute >= 0 ? ": taken" : ": refused"));

    // Seconds until the next such minute, from a local time: what --at starts.
    const auto local = [](int month, int day, int hour, int minute, int second) {
        std::tm at{};
        at.tm_year = 126;
        at.tm_mon = month - 1;
        at.tm_mday = day;
        at.tm_hour = hour;
        at.tm_min = minute;
        at.tm_sec = second;
        at.tm_isdst = -1;
        return std::mktime(&at);
    };
    const auto at = [](std::time_t now, const char *clock) {
        app::CommandLine commandLine = app::CommandLine::parse({"--at", clock});
        commandLine.resolve(now);
        return commandLine.action == app::CommandLine::Action::Run
                   ? commandLine.inSeconds.value_or(-1)
                   : 0;
    };
    const struct {
        const char *what;
        std::time_t now;
        const char *clock;
        std::int32_t seconds; // 0: refused
    } times[] = {
        {"half a minute before", local(12, 7, 23, 29, 30), "23:30", 30},
        {"past midnight", local(12, 7, 23, 59, 30), "00:00", 30},
        {"that very second: at once", local(12, 7, 23, 30, 0), "23:30", 1},
        {"the same minute: tomorrow", local(12, 7, 23, 30, 20), "23:30", 86380},
        {"the minute just passed", local(12, 7, 23, 31, 0), "23:30", 86340},
        {"the morning after", local(12, 7, 23, 0, 0), "06:45", 27900},
#ifndef _WIN32 // a zone with rules is read by the C library here only
        {"an hour less in the night", local(3, 29, 1, 0, 0), "03:30", 5400},
        {"a time the night skips: as the clock reads after", local(3, 29, 1, 0, 0), "02:30", 5400},
        {"an hour more in the night", local(10, 25, 1, 0, 0), "04:00", 14400},
        {"the same time a day with an hour more later", local(10, 25, 0, 30, 0), "23:30", 0},
#endif
    };
    for (const auto &time : times)
        check(at(time.now, time.clock) == time.seconds,
              std::string("--at ") + time.clock + ", " + time.what + ": " +
                  std::to_string(at(time.now, time.clock)));

    // A glance at the program: the time left, and when it ends.
    const std::time_t end = local(12, 7, 23, 40, 12);
    const struct {
        std::time_t now;
        const char *text;
    } glances[] = {{end - 252, "00:04:12 left, until 23:40:12"},
                   {end - 86399, "23:59:59 left, until 23:40:12"},
                   {end + 5, "00:00:00 left, until 23:40:12"}};
    for (const auto &glance : glances) {
        const std::string told = timer::timeLeftText(end, glance.now, ui::clockTime(end, true));
        check(told == glance.text, "a glance tells " + told);
    }

    // What --status prints, and the exit status it gives.
    using State = app::Status::State;
    const auto clock = [](std::time_t when) { return ui::clockTime(when); };
    const struct {
        app::Status status;
        const char *line;
        int exit;
    } statuses[] = {
        {{State::Counting, 2530, false}, "counting down: 00:42:10 left, until 23:30", 0},
        {{State::Counting, 2530, true}, "counting down: 00:42:10 left, until 23:30 (dry run)", 0},
        {{State::Warning, 12, false}, "warning open: 12 seconds left", 0},
        {{State::Warning, 1, true}, "warning open: 1 second left (dry run)", 0},
        {{State::Idle, 0, false}, "not counting", 1},
    };
    for (const auto &status : statuses) {
        const std::string line = status.status.line(local(12, 7, 22, 47, 50), clock);
        check(line == status.line && status.status.exitStatus() == status.exit,
              "--status prints " + line);
        // Through a window message's answer, and never mistaken for an answer's number.
        check(app::Status::unpacked(status.status.packed()) == status.status,
              "a status arrives as it was sent: " + line);
    }
    bool apart = true;
    for (int i = 0; i < app::AnswerCount; ++i)
        apart = apart && !app::Status::unpacked(i + 1);
    check(apart, "no answer's number reads as a status");
}

void requests()
{
    using Kind = app::Request::Kind;
    const struct {
        const char *text;
        bool taken;
    } texts[] = {
        {"raise", true},
        {"start 5400 real", true},
        {"cancel dry", true},
        {"start 86399 dry", true},
        {"start 0 real", false},
        {"start 86400 real", false},
        {"start -5 real", false},
        {"start 5400", false},
        {"cancel", false},
        {"raise now", false},
        {"start 5400 dry quiet", true},
        {"start 5400 dry x", true}, // a later version's option, left alone
        {"snooze 600 real", true},
        {"snooze real", false},
        {"snooze 0 dry", false},
        {"status", true},
        {"status dry", false},
        {"", false},
        {"start  5400 real", false},
        {"start 123456 real", false},
        {"stop dry", false},
    };
    for (const auto &text : texts)
        check(app::Request::fromText(text.text).has_value() == text.taken,
              std::string("a request '") + text.text + (text.taken ? "': taken" : "': refused"));
    for (const app::Request &request :
         {app::Request{Kind::Start, 5400, true}, app::Request{Kind::Cancel, 0, false},
          app::Request{Kind::Start, 60, false, true}, app::Request{Kind::Snooze, 300, true}}) {
        const auto back = app::Request::fromText(request.text());
        check(back && back->kind == request.kind && back->seconds == request.seconds &&
                  back->dryRun == request.dryRun && back->quiet == request.quiet,
              "a request arrives as it was sent: " + request.text());
    }
    bool named = true;
    for (int i = 0; i < app::AnswerCount; ++i)
        named = named && app::answerNamed(app::name(app::Answer(i))) == app::Answer(i);
    check(named, "every answer travels under its own name");
}

} // namespace

int main()
{
#ifndef _WIN32
    // Central European time, with its rules, whatever the machine's zone.
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
#endif
    spansAndTimes();
    requests();
    contrastChoice();
    captionFitting();
    buttonFace();
    tickSchedule();
    focusAndLookup();
    return failed();
}
