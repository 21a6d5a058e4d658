#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// A window described as data, for any runtime to build. Positions and sizes are in twips
// (1/1440 inch, 15 to a pixel at 96 dpi) and colours are colour values, so that one definition
// holds at every resolution and on every toolkit.
namespace ui {

// 0x00BBGGRR is a direct colour with red in the lowest byte; 0x800000nn names system colour nn.
struct Colour {
    std::uint32_t value = 0;
    bool operator==(const Colour &) const = default;
};

inline constexpr Colour ButtonFace{0x8000000F};

struct Font {
    std::string name;
    double points = 8.25;
    int weight = 400;
    int charset = 0;
    bool operator==(const Font &) const = default;
};

// A picture is named ("P1" to "P7"); the runtime knows how to draw each one.
struct Picture {
    std::string name;
    bool operator==(const Picture &) const = default;
};

using PropertyValue = std::variant<std::int32_t, std::int16_t, Colour, Font, std::string, Picture>;

// One value of a button's saved property set.
struct SavedProperty {
    std::string key;
    PropertyValue value;
};

enum class Kind { Frame, Label, ScrollBar, Timer, Button };
enum class Alignment { Left, Centre, Right };

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ControlDefinition {
    std::string name;
    Kind kind = Kind::Label;
    std::string container; // empty: the window itself
    Rect twips;
    int tabIndex = -1; // -1: outside the tab order (timers)
    std::string caption;
    Alignment alignment = Alignment::Left;
    std::optional<Font> font;         // none: the window's font
    std::optional<Colour> textColour; // none: the default text colour
    std::string toolTip;
    std::string accessibleName; // what a screen reader calls it, where its caption does not say
    bool visible = true;
    bool toggle = false; // a button whose state a screen reader hears: pressed while it is on

    // Timers.
    int interval = 0;
    bool enabled = false;

    // Scroll bars. The upper arrow moves towards rangeStart, which may be the larger end.
    std::int16_t rangeStart = 0;
    std::int16_t rangeEnd = 0;
    std::int16_t smallStep = 1;
    std::int16_t largeStep = 1;
    std::int16_t position = 0;

    // Button controls.
    std::vector<SavedProperty> properties;
};

struct WindowDefinition {
    std::string name;
    std::string title;
    int clientWidth = 0; // twips
    int clientHeight = 0;
    bool sizable = false;
    bool minimiseButton = false;
    bool maximiseButton = false;
    Picture icon;
    Colour background = ButtonFace;
    Font font;
    bool alert = false; // a screen reader hears it as an alert when it opens
    std::vector<ControlDefinition> controls;
};

inline constexpr int TwipsPerPixel = 15;

} // namespace ui
