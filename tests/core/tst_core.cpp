// The decisions both runtimes take from the core, each checked once, on Linux and under Wine.
#include "check.h"
#include "ui/accessible.h"
#include "ui/buttonproperties.h"
#include "ui/captionfit.h"
#include "ui/contrast.h"
#include "ui/controls.h"
#include "ui/faces.h"
#include "ui/forms.h"
#include "ui/spinnerrange.h"
#include "ui/tickschedule.h"

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
    check(captionRoom(54) == 46 && captionRoom(54, 144) == 42, "a button's room, at any DPI");
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
    const ButtonLayout plain = ButtonLayout::of(cancel, 101, 38, 16, 13, false);
    check(plain.pictureLeft == 42 && plain.pictureTop == 6 && plain.captionTop == 23 &&
              plain.shift == 0,
          "the picture centred and lifted, the caption below it");
    const ButtonLayout down = ButtonLayout::of(cancel, 152, 57, 24, 20, true, 1.5);
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

void spinnerRange()
{
    // The hours spinner: its upper arrow towards 24, the larger end; one past each end wraps.
    const SpinnerRange hours = SpinnerRange::of(control(frmMain(), "scrollHours"));
    check(hours.held(5) == -5 && hours.position(-5) == 5, "held negated where the top is larger");
    check(hours.minimum == -24 && hours.maximum == 1, "its range, as the control holds it");
    check(hours.lowest() == 0 && hours.highest() == 23, "what the field shows: 00 to 23");
    check(hours.wrapped(24) == 0 && hours.wrapped(-1) == 23 && hours.wrapped(7) == 7,
          "over the top to 00, under 00 to 23");
    const SpinnerRange plain = SpinnerRange::of({.kind = Kind::ScrollBar, .rangeEnd = 10});
    check(plain.held(5) == 5 && plain.lowest() == 1 && plain.highest() == 9,
          "a range whose first end is the smaller");
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

void digitFace()
{
    const Font digits{DigitFace, 12, 400, 0};
    check(shownFont(digits, true) == digits, "an installed face as asked");
    const Font bundled = shownFont(digits, false);
    check(bundled.name == BundledDigitFace && bundled.points == 10, "the bundled face at 5/6");
    const Font text = shownFont({"MS Sans Serif", 8.25, 700, 0}, false);
    check(text.name.empty() && text.points == 8.25 && text.weight == 700,
          "any other: the desktop's face, at the size and weight asked for");
}

void tabOrderAndLookup()
{
    check(tabOrder(frmMain()) == std::vector<std::string>{"cmdStartQuickTimer", "MyButton2",
                                                          "scrollHours", "scrollMinutes",
                                                          "scrollSeconds"},
          "Tab: the buttons, then the spinners; never a frame or a label");
    check(tabOrder(frmShutDown()) == std::vector<std::string>{"cmdCancel"}, "the warning: Cancel");
    const Rect minutes = focusArea(frmMain(), "scrollMinutes");
    check(minutes.left == 825 && minutes.top == 870 && minutes.width == 660 &&
              minutes.height == 390,
          "a spinner's focus around it and its field, two pixels out");
    bool refused = false;
    try {
        control(frmMain(), "cmdNone");
    } catch (const std::logic_error &) {
        refused = true;
    }
    check(refused, "a control that is not there is a programming error");
}

void screenReader()
{
    check(roleOf(frmMain()) == Role::Window && roleOf(frmShutDown()) == Role::Alert,
          "the main window a window, the warning an alert");
    const auto role = [](const char *name) { return roleOf(control(frmMain(), name)); };
    check(role("cmdStartQuickTimer") == Role::ToggleButton && role("MyButton2") == Role::PushButton,
          "the start button a toggle, the reset a push button");
    check(role("scrollHours") == Role::SpinButton && role("lblQTimerHour") == Role::Text &&
              role("fraQuickTimer") == Role::Grouping,
          "spinners, fields and the frame");
    check(accessibleName(control(frmMain(), "scrollMinutes")) == "Minutes" &&
              accessibleName(control(frmMain(), "lblQTimerSecond")) == "Seconds" &&
              accessibleName(control(frmMain(), "fraQuickTimer")) == "Quick off timer",
          "named by their unit, or by their caption");
}

} // namespace

int main()
{
    contrastChoice();
    captionFitting();
    buttonFace();
    spinnerRange();
    tickSchedule();
    digitFace();
    tabOrderAndLookup();
    screenReader();
    return failed();
}
