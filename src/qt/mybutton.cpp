#include "mybutton.h"

#include "accessibility.h"
#include "contrast.h"
#include "pictures.h"
#include "ui/captionfit.h"
#include "windowhost.h"

#include <QAccessible>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace ui::qt {

MyButton::MyButton(const ButtonProperties &properties, const WindowHost &runtime, QWidget *parent)
    : QAbstractButton(parent), m_properties(properties), m_runtime(runtime),
      m_pictureSize(Pictures::buttonSize(properties.picture.name))
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setFont(runtime.font(properties.font));
    setText(QString::fromStdString(properties.caption));
    connect(this, &QAbstractButton::toggled, this, [this] {
        if (!m_toggle)
            return;
        QAccessible::State pressed;
        pressed.checked = pressed.pressed = true;
        QAccessibleStateChangeEvent event(this, pressed);
        QAccessible::updateAccessibility(&event);
    });
    // Orca says nothing of a push button's state, and Qt 6.4 has no toggle button role: a flip
    // by the user is said in words, once the click has given the button its new caption.
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (m_toggle)
            QMetaObject::invokeMethod(
                this,
                [this] { speak(window(), caption() + (state() ? ", pressed" : ", not pressed")); },
                Qt::QueuedConnection);
    });
}

QFont MyButton::captionFont() const
{
    // Each smaller size tried is a font that Qt loads afresh once its cache has let go of it,
    // a millisecond or more: fit each caption once for the button's width and font, not at
    // every paint.
    if (m_fittedWidth != width() || m_fittedBase != font()) {
        m_fittedFonts.clear();
        m_fittedWidth = width();
        m_fittedBase = font();
    }
    if (const auto known = m_fittedFonts.constFind(text()); known != m_fittedFonts.cend())
        return *known;
    QFont caption = font();
    caption.setPointSizeF(
        fittedPoints(font().pointSizeF(), captionRoom(width()), [&](double points) {
            QFont tried = font();
            tried.setPointSizeF(points);
            return QFontMetrics(tried).horizontalAdvance(text());
        }));
    m_fittedFonts.insert(text(), caption);
    return caption;
}

QSize MyButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int padding = -captionRoom(0); // the clearance, on both sides
    return {qMax(metrics.horizontalAdvance(text()), m_pictureSize) + padding,
            m_pictureSize + metrics.height() + 10};
}

void MyButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // A dark scheme's light caption on the light lavender would be unreadable.
    const ButtonColours colours = buttonColours(
        rgb(m_runtime.colour(m_properties.face({isEnabled(), isDown(), underMouse(), hasFocus()}))),
        rgb(m_runtime.colour(m_properties.borderColor)),
        {rgb(palette().color(QPalette::Button)), rgb(palette().color(QPalette::ButtonText))});
    // The border is what is left of a fill once the face is laid inside it, so that it stays
    // whole at any scale, where a one-pixel line may fall between the screen's pixels.
    painter.fillRect(rect(), qcolor(colours.border));
    painter.fillRect(rect().adjusted(1, 1, -1, -1), qcolor(colours.face));

    const QPixmap shown = Pictures::pixmap(m_properties.shownPicture(isEnabled()).name,
                                           m_pictureSize, devicePixelRatioF());
    const QFont caption = captionFont();
    const QFontMetrics metrics(caption);
    const ButtonLayout layout =
        ButtonLayout::of(m_properties, width(), height(), shown.isNull() ? 0 : m_pictureSize,
                         metrics.ascent(), isDown());
    if (!shown.isNull())
        painter.drawPixmap(layout.pictureLeft + layout.shift, layout.pictureTop + layout.shift,
                           shown);
    painter.setFont(caption);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(
        QRect(layout.shift, layout.captionTop + layout.shift, width(), metrics.height()),
        Qt::AlignHCenter | Qt::AlignTop, text());

    if (hasFocus()) {
        // Always shown, not only after a key press: the keyboard's user must find the focus.
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.state |= QStyle::State_KeyboardFocusChange;
        option.rect = rect().adjusted(focusInset(), focusInset(), -focusInset(), -focusInset());
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace ui::qt
