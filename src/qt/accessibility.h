#pragma once

#include "ui/accessible.h"

class QAccessibleInterface;
class QObject;
class QString;
class QWidget;

namespace ui::qt {

// What a widget is for a screen reader, as its definition says.
void present(QWidget *widget, Role role);

// Tells screen readers what the program's own widgets are and hold: each in its role, the
// spinners with their fields' values and ranges, the time fields by their units, the toggle
// pressed while it is on, the frame's controls in reading order.
QAccessibleInterface *accessibleInterface(const QString &className, QObject *object);

// Says words to a screen reader wherever its focus is, once: Orca speaks a notification as it
// shows.
void speak(QWidget *window, const QString &words);

} // namespace ui::qt
