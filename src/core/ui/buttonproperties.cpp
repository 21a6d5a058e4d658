#include "buttonproperties.h"

#include "captionfit.h"

#include <algorithm>
#include <stdexcept>

namespace ui {

namespace {

template <typename T> void take(const SavedProperty &property, T &into)
{
    const T *value = std::get_if<T>(&property.value);
    if (!value)
        throw std::logic_error("button property '" + property.key + "' has the wrong type");
    into = *value;
}

} // namespace

const std::vector<std::string> &ButtonProperties::keys()
{
    static const std::vector<std::string> order{
        "_extentx",        "_extenty",         "backcolor",         "font",
        "appearance",      "picture",          "appearancemode",    "backcolordown",
        "backcolorover",   "backcolorfocus",   "backcolordisabled", "bordercolor",
        "borderdrawevent", "transparentcolor", "caption",           "captionposition",
        "picturedisabled", "pictureoffsety",   "picturealignment"};
    return order;
}

ButtonProperties ButtonProperties::fromSaved(const std::vector<SavedProperty> &saved)
{
    ButtonProperties p;
    const auto &order = keys();
    std::size_t next = 0;
    for (const SavedProperty &property : saved) {
        std::size_t index = next;
        while (index < order.size() && order[index] != property.key)
            ++index;
        if (index == order.size())
            throw std::logic_error("button property '" + property.key +
                                   "' is unknown or out of order");
        next = index + 1;
        switch (index) {
        case 0:
            take(property, p.extentX);
            break;
        case 1:
            take(property, p.extentY);
            break;
        case 2:
            take(property, p.backColor);
            break;
        case 3:
            take(property, p.font);
            break;
        case 4:
            take(property, p.appearance);
            break;
        case 5:
            take(property, p.picture);
            break;
        case 6:
            take(property, p.appearanceMode);
            break;
        case 7:
            take(property, p.backColorDown);
            break;
        case 8:
            take(property, p.backColorOver);
            break;
        case 9:
            take(property, p.backColorFocus);
            break;
        case 10:
            take(property, p.backColorDisabled);
            break;
        case 11:
            take(property, p.borderColor);
            break;
        case 12:
            take(property, p.borderDrawEvent);
            break;
        case 13:
            take(property, p.transparentColor);
            break;
        case 14:
            take(property, p.caption);
            break;
        case 15:
            take(property, p.captionPosition);
            break;
        case 16:
            take(property, p.pictureDisabled);
            break;
        case 17:
            take(property, p.pictureOffsetY);
            break;
        case 18:
            take(property, p.pictureAlignment);
            break;
        }
    }
    return p;
}

Colour ButtonProperties::face(const Look &look) const
{
    return !look.enabled ? backColorDisabled
           : look.down   ? backColorDown
           : look.hover  ? backColorOver
           : look.focus  ? backColorFocus
                         : backColor;
}

const Picture &ButtonProperties::shownPicture(bool enabled) const
{
    return enabled || pictureDisabled.name.empty() ? picture : pictureDisabled;
}

ButtonLayout ButtonLayout::of(const ButtonProperties &properties, int width, int height,
                              int pictureSize, int captionAscent, bool down, double scale)
{
    ButtonLayout layout;
    layout.line = std::max(1, int(scale + 0.5));
    layout.shift = down ? layout.line : 0;
    layout.pictureLeft = (width - pictureSize) / 2;
    // Rounded half away from zero, as Windows scales.
    const double lifted = properties.pictureOffsetY * scale;
    layout.pictureTop = (height - pictureSize) / 2 + int(lifted < 0 ? lifted - 0.5 : lifted + 0.5);
    if (!pictureSize) {
        layout.captionTop = (height - captionAscent) / 2;
        return layout;
    }
    // Round letters reach a little below the baseline: a line more.
    const int clear = captionClearance(int(scale * 96 + 0.5)) + layout.line;
    layout.captionTop =
        std::min(layout.pictureTop + pictureSize + layout.line, height - clear - captionAscent);
    // The picture may reach into the caption's leading, above its capitals.
    layout.pictureTop =
        std::max(clear - layout.line, std::min(layout.pictureTop, layout.captionTop - pictureSize));
    return layout;
}

} // namespace ui
