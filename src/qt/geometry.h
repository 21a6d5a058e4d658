#pragma once

#include "ui/definition.h"

#include <QRect>

namespace ui::qt {

// A place in twips as Qt's logical pixels, at 15 twips to the pixel.
inline QRect pixels(const Rect &twips)
{
    return {twips.left / TwipsPerPixel, twips.top / TwipsPerPixel, twips.width / TwipsPerPixel,
            twips.height / TwipsPerPixel};
}

} // namespace ui::qt
