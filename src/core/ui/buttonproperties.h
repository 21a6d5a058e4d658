#pragma once

#include "definition.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

// The saved property set of the MyButton control, read into typed values. A key the set lacks
// keeps the default below.
struct ButtonProperties {
    std::int32_t extentX = 1429; // hundredths of a millimetre; the window's rectangle rules
    std::int32_t extentY = 1138;
    Colour backColor = ButtonFace;
    Font font{"MS Sans Serif"};
    std::int32_t appearance = 1;
    Picture picture;
    std::int32_t appearanceMode = 0;
    Colour backColorDown = ButtonFace;
    Colour backColorOver = ButtonFace;
    Colour backColorFocus = ButtonFace;
    Colour backColorDisabled = ButtonFace;
    Colour borderColor{0x00000000};
    std::int32_t borderDrawEvent = 0;
    Colour transparentColor{0x00C8D0D4};
    std::string caption;
    std::int32_t captionPosition = 3;
    Picture pictureDisabled;
    std::int16_t pictureOffsetY = 0;
    std::int32_t pictureAlignment = 4;

    // Reads a set whose keys keep the order of the fields above. Throws std::logic_error on an
    // unknown key, a key out of order or a value of the wrong type: the sets are written in code.
    static ButtonProperties fromSaved(const std::vector<SavedProperty> &saved);

    // The face's colour in the button's present look; its state never shows.
    struct Look {
        bool enabled = true;
        bool down = false; // the mouse or Space is down on it
        bool hover = false;
        bool focus = false;
    };
    Colour face(const Look &look) const;
    // The picture picked for the look: the disabled one where there is one.
    const Picture &shownPicture(bool enabled) const;
};

// Where a button's parts go, in the runtime's pixels (`scale` to the pixel of 96 dpi): the border
// a fill of `line`, the picture centred and lifted by its offset, the caption right below it or
// centred where there is none, and both moved a line down and right while the button is down.
// Where the caption's baseline would reach the focus rectangle, both are lifted, the picture no
// higher than the clearance.
struct ButtonLayout {
    int line = 1;
    int pictureLeft = 0;
    int pictureTop = 0;
    int captionTop = 0;
    int shift = 0; // added to both while down

    static ButtonLayout of(const ButtonProperties &properties, int width, int height,
                           int pictureSize, int captionAscent, bool down, double scale = 1);
};

} // namespace ui
