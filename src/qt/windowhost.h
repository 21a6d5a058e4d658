#pragma once

#include "ui/window.h"

#include <QColor>
#include <QFont>
#include <QObject>

namespace ui::qt {

// What a window and its controls need of the runtime that made them.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual QColor colour(Colour colour) const = 0;
    // The font asked for where it is installed, otherwise a face that keeps its look and size.
    virtual QFont font(const Font &font) const = 0;
    // Runs an event handler; an exception it throws is an error that nothing handles.
    virtual void run(const Handler &handler) = 0;
};

// Runs the behaviour's handler on each of the sender's signals, through the host so that an
// error in it never crosses the event loop.
template <typename Sender, typename Signal>
void connectHandler(Sender *sender, Signal signal, WindowHost &host, Handler handler)
{
    QObject::connect(sender, signal, sender,
                     [&host, handler = std::move(handler)] { host.run(handler); });
}

} // namespace ui::qt
