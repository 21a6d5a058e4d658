#include "labelcontrol.h"

#include "accessibility.h"
#include "contrast.h"
#include "geometry.h"
#include "ui/captionfit.h"
#include "ui/controls.h"

#include <QFontMetricsF>

namespace ui::qt {

namespace {

constexpr qreal KerningRoom = 1; // pixels a pair of characters may add

} // namespace

LabelControl::LabelControl(const ControlDefinition &definition, QWidget *parent,
                           const WindowHost &host)
    : m_label(new QLabel(parent)), m_shown(definition.visible)
{
    // Opaque, so that a change repaints the label alone, not the frame behind it.
    m_label->setAutoFillBackground(true);
    m_label->setGeometry(pixels(definition.twips)); // before the caption: it is fitted to it
    if (definition.font)
        m_label->setFont(host.font(*definition.font));
    if (definition.textColour) {
        // Unless it would vanish on the background of a dark scheme.
        const QWidget *form = parent->window();
        QPalette palette = m_label->palette();
        palette.setColor(QPalette::WindowText,
                         qcolor(textColour(rgb(host.colour(*definition.textColour)),
                                           {rgb(form->palette().color(QPalette::Window)),
                                            rgb(form->palette().color(QPalette::WindowText))})));
        m_label->setPalette(palette);
    }
    const Qt::Alignment horizontal = definition.alignment == Alignment::Centre  ? Qt::AlignHCenter
                                     : definition.alignment == Alignment::Right ? Qt::AlignRight
                                                                                : Qt::AlignLeft;
    m_label->setAlignment(horizontal | Qt::AlignTop);
    m_label->setTextFormat(Qt::PlainText);
    setCaption(definition.caption);
}

void LabelControl::setCaption(const std::string &caption)
{
    // The countdown sets all three fields every second; most of them keep their text.
    const QString newCaption = QString::fromStdString(caption);
    if (newCaption == m_caption)
        return;
    m_caption = newCaption;
    // Nothing shows a hidden label: fitting its caption would only load its font.
    m_label->setText(m_shown ? fitted(m_caption) : m_caption);
}

void LabelControl::setDetail(const std::string &detail)
{
    m_label->setToolTip(QString::fromStdString(detail));
    m_label->setAccessibleDescription(QString::fromStdString(detail));
}

void LabelControl::announce(const std::string &words)
{
    // A screen reader hears a name that changes; the caption's own changes in between go
    // unannounced while the label has a name of its own.
    m_label->setAccessibleName(QString::fromStdString(words));
    speak(m_label->window(), QString::fromStdString(words));
}

QString LabelControl::fitted(const QString &caption)
{
    // Laying the text out is the dearest part of a field's change every second. Its characters'
    // own widths, kept once measured, are cheap to add up.
    if (m_label->font() != m_measured) {
        m_measured = m_label->font();
        m_advances.clear();
    }
    const auto width = [this](const std::string &text) {
        qreal sum = 0;
        for (const QChar character : QString::fromStdString(text)) {
            auto advance = m_advances.constFind(character);
            if (advance == m_advances.cend())
                advance = m_advances.insert(character,
                                            QFontMetricsF(m_measured).horizontalAdvance(character));
            sum += *advance;
        }
        return qCeil(sum + KerningRoom);
    };
    return QString::fromStdString(ui::elided(caption.toStdString(), m_label->width(), width));
}

} // namespace ui::qt
