#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace ui::qt {

// Tells screen readers what the program's own widgets are and hold: the windows as a window and
// an alert, the spinners with their names and their fields' values, the time fields by their
// units, the buttons as push buttons or a toggle, the frame's controls in reading order.
QAccessibleInterface *accessibleInterface(const QString &className, QObject *object);

} // namespace ui::qt
