#pragma once

#include "ui/contrast.h"

#include <QColor>

// The shared contrast decisions, in Qt's colours.
namespace ui::qt {

inline Rgb rgb(const QColor &colour)
{
    return {colour.red(), colour.green(), colour.blue()};
}

inline QColor qcolor(Rgb colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}

inline double contrast(const QColor &a, const QColor &b)
{
    return ui::contrast(rgb(a), rgb(b));
}

} // namespace ui::qt
