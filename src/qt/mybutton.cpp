#include "mybutton.h"

#include "contrast.h"
#include "pictures.h"
#include "qtruntime.h"
#include "ui/captionfit.h"

#include <QAccessible>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace ui::qt {

MyButton::MyButton(const ButtonProperties &properties, const QtRuntime &runtime, QWidget *parent)
    : QAbstractButton(parent), m_back(runtime.colour(properties.backColor)),
      m_backDown(runtime.colour(properties.backColorDown)),
      m_backOver(runtime.colour(properties.backColorOver)),
      m_backFocus(runtime.colour(properties.backColorFocus)),
      m_backDisabled(runtime.colour(properties.backColorDisabled)),
      m_border(runtime.colour(properties.borderColor)), m_picture(properties.picture.name),
      m_pictureDisabled(properties.pictureDisabled.name),
      m_pictureSize(Pictures::buttonSize(properties.picture.name)),
      m_pictureOffsetY(properties.pictureOffsetY)
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
}

QColor MyButton::faceColour() const
{
    const QColor face = !isEnabled()   ? m_backDisabled
                        : isDown()     ? m_backDown
                        : underMouse() ? m_backOver
                        : hasFocus()   ? m_backFocus
                                       : m_back;
    // A dark scheme's light caption on the light lavender would be unreadable.
    return readable(face, palette().color(QPalette::ButtonText), palette().color(QPalette::Button),
                    TextContrast);
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
    const int padding = -captionRoom(0); // the border and the margin, on both sides
    return {qMax(metrics.horizontalAdvance(text()), m_pictureSize) + padding,
            m_pictureSize + metrics.height() + 10};
}

void MyButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor face = faceColour();
    // The border is what is left of a fill once the face is laid inside it, so that it stays
    // whole at any scale, where a one-pixel line may fall between the screen's pixels.
    painter.fillRect(
        rect(), readable(m_border, face, palette().color(QPalette::ButtonText), BorderContrast));
    painter.fillRect(rect().adjusted(1, 1, -1, -1), face);

    // The picture is centred, then lifted by its offset to leave room for the caption below it.
    const std::string &name =
        isEnabled() || m_pictureDisabled.empty() ? m_picture : m_pictureDisabled;
    const QPixmap shown = Pictures::pixmap(name, m_pictureSize, devicePixelRatioF());
    const QFont caption = captionFont();
    const QFontMetrics metrics(caption);
    const int pressed = isDown() ? 1 : 0;
    const int pictureTop = (height() - m_pictureSize) / 2 + m_pictureOffsetY;
    if (!shown.isNull())
        painter.drawPixmap((width() - m_pictureSize) / 2 + pressed, pictureTop + pressed, shown);
    const int captionTop =
        shown.isNull() ? (height() - metrics.height()) / 2 : pictureTop + m_pictureSize + 1;
    painter.setFont(caption);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(QRect(pressed, captionTop + pressed, width(), metrics.height()),
                     Qt::AlignHCenter | Qt::AlignTop, text());

    if (hasFocus()) {
        // Always shown, not only after a key press: the keyboard's user must find the focus.
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.state |= QStyle::State_KeyboardFocusChange;
        option.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace ui::qt
