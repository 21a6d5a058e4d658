#include "formwidget.h"

#include <QCloseEvent>
#include <QScreen>
#include <QTimer>

namespace ui::qt {

void FormWidget::offerStates(bool minimise, bool maximise)
{
    m_minimise = minimise;
    m_maximise = maximise;
}

void FormWidget::centre()
{
    m_centring = true;
    place();
}

void FormWidget::place()
{
    if (!screen())
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen()->availableGeometry().center());
    move(frame.topLeft()); // a window's position is its frame's
}

void FormWidget::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

void FormWidget::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if ((isMinimized() && !m_minimise) || (isMaximized() && !m_maximise))
        QTimer::singleShot(0, this, [this] {
            showNormal();
            raise();
            activateWindow();
        });
}

void FormWidget::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (m_centring && isVisible() && frameGeometry() != geometry()) {
        m_centring = false;
        place();
    }
}

} // namespace ui::qt
