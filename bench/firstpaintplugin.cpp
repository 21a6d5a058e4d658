#include "firstpaintplugin.h"

#include "firstpaintwatcher.h"

QObject *FirstPaintPlugin::create(const QString &, const QString &)
{
    // The application deletes what generic plugins create when it ends.
    return new FirstPaintWatcher;
}
