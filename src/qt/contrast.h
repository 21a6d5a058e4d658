#pragma once

#include "ui/contrast.h"

#include <QColor>

// The shared contrast decision, in Qt's colours.
namespace ui::qt {

inline Rgb rgb(const QColor &colour)
{
    return {colour.red(), colour.green(), colour.blue()};
}

inline double contrast(const QColor &a, const QColor &b)
{
    return ui::contrast(rgb(a), rgb(b));
}

inline QColor readable(const QColor &defined, const QColor &behind, const QColor &scheme,
                       double needed)
{
    return ui::readable(rgb(defined), rgb(behind), rgb(scheme), needed) == rgb(defined) ? defined
                                                                                        : scheme;
}

} // namespace ui::qt
