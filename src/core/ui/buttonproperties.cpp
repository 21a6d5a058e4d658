#include "buttonproperties.h"

#include "captionfit.h"

#include <algorithm>
#include <iterator>
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

template <auto Member> void read(const SavedProperty &property, ButtonProperties &into)
{
    take(property, into.*Member);
}

using B = ButtonProperties;

// Each key with the field it fills, in the order a set holds them.
const struct {
    const char *key;
    void (*read)(const SavedProperty &, ButtonProperties &);
} Fields[] = {
    {"_extentx", read<&B::extentX>},
    {"_extenty", read<&B::extentY>},
    {"backcolor", read<&B::backColor>},
    {"font", read<&B::font>},
    {"appearance", read<&B::appearance>},
    {"picture", read<&B::picture>},
    {"appearancemode", read<&B::appearanceMode>},
    {"backcolordown", read<&B::backColorDown>},
    {"backcolorover", read<&B::backColorOver>},
    {"backcolorfocus", read<&B::backColorFocus>},
    {"backcolordisabled", read<&B::backColorDisabled>},
    {"bordercolor", read<&B::borderColor>},
    {"borderdrawevent", read<&B::borderDrawEvent>},
    {"transparentcolor", read<&B::transparentColor>},
    {"caption", read<&B::caption>},
    {"captionposition", read<&B::captionPosition>},
    {"picturedisabled", read<&B::pictureDisabled>},
    {"pictureoffsety", read<&B::pictureOffsetY>},
    {"picturealignment", read<&B::pictureAlignment>},
};

} // namespace

ButtonProperties ButtonProperties::fromSaved(const std::vector<SavedProperty> &saved)
{
    ButtonProperties p;
    const auto *next = std::begin(Fields);
    for (const SavedProperty &property : saved) {
        const auto *field = std::find_if(next, std::end(Fields),
                                         [&](const auto &f) { return property.key == f.key; });
        if (field == std::end(Fields))
            throw std::logic_error("button property '" + property.key +
                                   "' is unknown or out of order");
        field->read(property, p);
        next = field + 1;
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
