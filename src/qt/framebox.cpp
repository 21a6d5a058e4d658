#include "framebox.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace ui::qt {

namespace {

constexpr int CaptionIndent = 6; // pixels from the frame's left edge to the caption's box
constexpr int CaptionPadding = 2;

} // namespace

FrameBox::FrameBox(const QString &caption, QWidget *parent) : QWidget(parent), m_caption(caption)
{
    setAccessibleName(caption);
    // A scroll bar draws no focus of its own: the frame draws it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (isAncestorOf(old) || isAncestorOf(now))
            update();
    });
}

QRect FrameBox::focusArea() const
{
    return m_areas.value(QApplication::focusWidget());
}

void FrameBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    // The line runs through the middle of the caption.
    const QRect line = rect().adjusted(0, metrics.height() / 2, -2, -2);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(line);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(line.translated(1, 1));

    if (const QRect focus = focusArea(); focus.isValid()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.state |= QStyle::State_KeyboardFocusChange | QStyle::State_HasFocus;
        option.rect = focus;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
    if (m_caption.isEmpty())
        return;
    const QRect captionBox(CaptionIndent, 0,
                           metrics.horizontalAdvance(m_caption) + 2 * CaptionPadding,
                           metrics.height());
    painter.fillRect(captionBox, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(captionBox, Qt::AlignCenter, m_caption);
}

} // namespace ui::qt
