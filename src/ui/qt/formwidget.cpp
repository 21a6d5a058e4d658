#include "formwidget.h"

#include <QCloseEvent>

namespace ui::qt {

void FormWidget::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

} // namespace ui::qt
