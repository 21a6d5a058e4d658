#pragma once

#include "version.h"

#include <QString>

namespace ui::qt {

// Where the session's running Veltrane answers on the session bus, and how its refusals are
// named.
inline QString instanceName()
{
    return QStringLiteral(VELTRANE_ID);
}
inline QString instancePath()
{
    return QStringLiteral("/org/veltrane/Veltrane");
}
inline QString instanceErrorPrefix()
{
    return instanceName() + QStringLiteral(".Error.");
}

} // namespace ui::qt
