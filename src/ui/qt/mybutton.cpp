#include "mybutton.h"

#include "pictures.h"
#include "qtruntime.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace ui::qt {

namespace {

QPixmap picture(const Picture &picture)
{
    return picture.name.empty()
               ? QPixmap()
               : Pictures::pixmap(picture.name, Pictures::buttonSize(picture.name));
}

} // namespace

MyButton::MyButton(const ButtonProperties &properties, const QtRuntime &runtime, QWidget *parent)
    : QAbstractButton(parent), m_back(runtime.colour(properties.backColor)),
      m_backDown(runtime.colour(properties.backColorDown)),
      m_backOver(runtime.colour(properties.backColorOver)),
      m_backFocus(runtime.colour(properties.backColorFocus)),
      m_backDisabled(runtime.colour(properties.backColorDisabled)),
      m_border(runtime.colour(properties.borderColor)), m_picture(picture(properties.picture)),
      m_pictureDisabled(picture(properties.pictureDisabled)),
      m_pictureOffsetY(properties.pictureOffsetY)
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setFont(runtime.font(properties.font));
    setText(QString::fromStdString(properties.caption));
}

QColor MyButton::faceColour() const
{
    if (!isEnabled())
        return m_backDisabled;
    if (isDown())
        return m_backDown;
    if (underMouse())
        return m_backOver;
    if (hasFocus())
        return m_backFocus;
    return m_back;
}

QSize MyButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {qMax(metrics.horizontalAdvance(text()), m_picture.width()) + 12,
            m_picture.height() + metrics.height() + 10};
}

void MyButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect face = rect();
    painter.fillRect(face, faceColour());
    painter.setPen(m_border);
    painter.drawRect(face.adjusted(0, 0, -1, -1));

    // The picture is centred, then lifted by its offset to leave room for the caption below it.
    const QPixmap &shown =
        isEnabled() || m_pictureDisabled.isNull() ? m_picture : m_pictureDisabled;
    const QFontMetrics metrics(font());
    const int pressed = isDown() ? 1 : 0;
    const int pictureTop = (face.height() - shown.height()) / 2 + m_pictureOffsetY;
    if (!shown.isNull())
        painter.drawPixmap((face.width() - shown.width()) / 2 + pressed, pictureTop + pressed,
                           shown);
    const int captionTop =
        shown.isNull() ? (face.height() - metrics.height()) / 2 : pictureTop + shown.height() + 1;
    const QRect captionRect(pressed, captionTop + pressed, face.width(), metrics.height());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(captionRect, Qt::AlignHCenter | Qt::AlignTop, text());

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = face.adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace ui::qt
