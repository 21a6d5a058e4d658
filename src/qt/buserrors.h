#pragma once

#include <QString>

namespace ui::qt {

// The bus's words for a name that nobody owns: the one or the other, as the bus is configured.
inline bool noSuchService(const QString &errorName)
{
    return errorName == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
           errorName == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
}

} // namespace ui::qt
