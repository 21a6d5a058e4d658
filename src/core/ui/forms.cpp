#include "forms.h"

namespace ui {

std::string countdownMessage(int secondsLeft)
{
    // "seconds" whatever the count, 1 included.
    return "Your computer will automatically turn off in " + std::to_string(secondsLeft) +
           " seconds...";
}

std::string clockTime(std::time_t when, bool seconds)
{
    char clock[16] = {};
    std::strftime(clock, sizeof clock, seconds ? "%H:%M:%S" : "%H:%M", std::localtime(&when));
    return clock;
}

namespace {

const Font SansSerif{"MS Sans Serif", 8.25, 400, 0};
const Font SansSerifBold{"MS Sans Serif", 8.25, 700, 0};
const Font UnitFont{"MS Sans Serif", 9.75, 700, 0};
const Font DigitFont{"BankGothic Md BT", 12, 400, 0};
const Colour DigitColour{0x00404040};
const Colour Lavender{0x00CFA8AF};
const Colour DarkBlue{0x007F0000};
const Colour LightGrey{0x00C8D0D4};

ControlDefinition timeField(std::string name, Rect twips, int tabIndex, std::string toolTip,
                            std::string unit)
{
    return {.name = std::move(name),
            .kind = Kind::Label,
            .container = "fraQuickTimer",
            .twips = twips,
            .tabIndex = tabIndex,
            .caption = "00",
            .alignment = Alignment::Centre,
            .font = DigitFont,
            .textColour = DigitColour,
            .toolTip = std::move(toolTip),
            .accessibleName = std::move(unit)};
}

ControlDefinition spinner(std::string name, Rect twips, int tabIndex, std::int16_t top,
                          std::string unit)
{
    return {.name = std::move(name),
            .kind = Kind::ScrollBar,
            .container = "fraQuickTimer",
            .twips = twips,
            .tabIndex = tabIndex,
            .accessibleName = std::move(unit),
            .rangeStart = top,
            .rangeEnd = -1,
            .smallStep = 1,
            .largeStep = 1,
            .position = 0};
}

ControlDefinition unitCaption(std::string name, Rect twips, int tabIndex, std::string caption)
{
    return {.name = std::move(name),
            .kind = Kind::Label,
            .container = "fraQuickTimer",
            .twips = twips,
            .tabIndex = tabIndex,
            .caption = std::move(caption),
            .alignment = Alignment::Centre,
            .font = UnitFont,
            .visible = false};
}

ControlDefinition mainButton(std::string name, Rect twips, int tabIndex, std::string toolTip,
                             std::vector<SavedProperty> properties, bool toggle = false)
{
    return {.name = std::move(name),
            .kind = Kind::Button,
            .container = "fraQuickTimer",
            .twips = twips,
            .tabIndex = tabIndex,
            .toolTip = std::move(toolTip),
            .toggle = toggle,
            .properties = std::move(properties)};
}

// The saved set all three buttons share, with what differs filled in. Only the toggle stores
// an appearance mode.
struct ButtonLook {
    std::int32_t extentX;
    std::int32_t extentY;
    Font font;
    Picture picture;
    std::optional<std::int32_t> appearanceMode;
    std::string caption;
    Picture disabled;
};

std::vector<SavedProperty> savedSet(ButtonLook look)
{
    std::vector<SavedProperty> set{{"_extentx", look.extentX},      {"_extenty", look.extentY},
                                   {"backcolor", ButtonFace},       {"font", look.font},
                                   {"appearance", std::int32_t{1}}, {"picture", look.picture}};
    if (look.appearanceMode)
        set.push_back({"appearancemode", *look.appearanceMode});
    set.insert(set.end(), {{"backcolordown", Lavender},
                           {"backcolorover", Lavender},
                           {"backcolorfocus", ButtonFace},
                           {"backcolordisabled", ButtonFace},
                           {"bordercolor", DarkBlue},
                           {"borderdrawevent", std::int32_t{4}},
                           {"transparentcolor", LightGrey},
                           {"caption", std::move(look.caption)},
                           {"captionposition", std::int32_t{3}},
                           {"picturedisabled", look.disabled},
                           {"pictureoffsety", std::int16_t{-5}},
                           {"picturealignment", std::int32_t{4}}});
    return set;
}

WindowDefinition makeMain()
{
    return {
        .name = "frmMain",
        .title = "Veltrane",
        .clientWidth = 4380,
        .clientHeight = 3000,
        .sizable = true,
        .minimiseButton = true,
        .maximiseButton = false,
        .icon = {"P1"},
        .background = ButtonFace,
        .font = SansSerif,
        .controls = {
            {.name = "tmrQuickTimer",
             .kind = Kind::Timer,
             .interval = int(TickInterval.count()),
             .enabled = false},
            {.name = "fraQuickTimer",
             .kind = Kind::Frame,
             .twips = {540, 495, 3300, 1905},
             .tabIndex = 0,
             .caption = "Quick off timer"},
            mainButton("cmdStartQuickTimer", {2265, 1080, 810, 645}, 1, "Apply timer settings",
                       savedSet({1429, 1138, SansSerif, {"P1"}, 1, "Timer Off", {"P3"}}),
                       true), // on while the countdown runs
            mainButton("MyButton2", {2265, 300, 810, 645}, 2, "Cancel timer settings",
                       savedSet({1429, 1138, SansSerif, {"P2"}, std::nullopt, "Cancel", {"P4"}})),
            timeField("lblQTimerSecond", {1470, 945, 435, 270}, 3, "Second", "Seconds"),
            timeField("lblQTimerHour", {270, 945, 435, 270}, 4, "Hour", "Hours"),
            timeField("lblQTimerMinute", {855, 945, 435, 270}, 5, "Minute", "Minutes"),
            spinner("scrollHours", {690, 900, 180, 330}, 6, 24, "Hours"),
            spinner("scrollMinutes", {1275, 900, 180, 330}, 7, 60, "Minutes"),
            spinner("scrollSeconds", {1875, 900, 180, 330}, 8, 60, "Seconds"),
            unitCaption("Label1", {300, 570, 375, 270}, 9, "h :"),
            unitCaption("Label2", {885, 570, 525, 270}, 10, "min:"),
            unitCaption("Label3", {1470, 570, 525, 270}, 11, "sec:"),
        }};
}

WindowDefinition makeShutDown()
{
    return {.name = "frmShutDown",
            .title = "Automated shutdown in progress...",
            .clientWidth = 6000,
            .clientHeight = 1545,
            .sizable = false,
            .minimiseButton = false,
            .maximiseButton = false,
            .icon = {"P5"},
            .background = ButtonFace,
            .font = SansSerif,
            .alert = true,
            .controls = {
                {.name = "tmrShutDown",
                 .kind = Kind::Timer,
                 .interval = int(TickInterval.count()),
                 .enabled = true},
                {.name = "cmdCancel",
                 .kind = Kind::Button,
                 .twips = {2295, 750, 1515, 570},
                 .tabIndex = 0,
                 .properties =
                     savedSet({2672, 1005, SansSerifBold, {"P6"}, std::nullopt, "Cancel", {"P7"}})},
                {.name = "lblStatus",
                 .kind = Kind::Label,
                 .twips = {195, 300, 5625, 240},
                 .tabIndex = 1,
                 .caption = countdownMessage(WarningSeconds),
                 .alignment = Alignment::Centre},
            }};
}

} // namespace

const WindowDefinition &frmMain()
{
    static const WindowDefinition definition = makeMain();
    return definition;
}

const WindowDefinition &frmShutDown()
{
    static const WindowDefinition definition = makeShutDown();
    return definition;
}

} // namespace ui
