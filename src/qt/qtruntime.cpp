#include "qtruntime.h"

#include "accessibility.h"
#include "notifications.h"
#include "qtwindow.h"
#include "ui/faces.h"

#include <QAccessible>
#include <QApplication>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPalette>

namespace ui::qt {

QtRuntime::QtRuntime()
{
    static const bool accessible = (QAccessible::installFactory(accessibleInterface), true);
    Q_UNUSED(accessible);
    // The main window's close ends the program (QtWindow quits then), even while the warning,
    // a window of its own, is still open; nothing else does.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // The bundled face, where the one asked for is missing. TrueType rather than a web font:
    // nothing to decompress at start-up.
    if (!QFontDatabase::families().contains(QLatin1String(DigitFace)))
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/michroma.ttf"));
}

QtRuntime::~QtRuntime() = default;

std::unique_ptr<Window> QtRuntime::load(const WindowDefinition &definition)
{
    return std::make_unique<QtWindow>(definition, *this);
}

void QtRuntime::fail(const std::string &message)
{
    QMessageBox::critical(nullptr, QStringLiteral("Veltrane"), QString::fromStdString(message));
    QCoreApplication::exit(1);
}

void QtRuntime::notify(const Notice &notice, Handler act, Handler later)
{
    // The session bus is not touched before a notification is needed: start-up stays lean.
    if (!m_notifications)
        m_notifications = std::make_unique<Notifications>([this](const Handler &act) { run(act); });
    m_notifications->show(notice, std::move(act), std::move(later));
}

void QtRuntime::withdrawNotice(const std::string &outcome)
{
    if (m_notifications)
        m_notifications->withdraw(outcome);
}

QColor QtRuntime::colour(Colour colour) const
{
    const std::uint32_t value = colour.value;
    if ((value & 0xFF000000u) == 0x80000000u) {
        // System colours of the desktop's scheme, by their Windows numbers.
        const QPalette palette = QApplication::palette();
        switch (value & 0xFFu) {
        case 5:
            return palette.color(QPalette::Base);
        case 8:
            return palette.color(QPalette::Text);
        case 15:
            return palette.color(QPalette::Button);
        case 18:
            return palette.color(QPalette::ButtonText);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QFont QtRuntime::font(const Font &font) const
{
    const Font shown =
        shownFont(font, QFontDatabase::families().contains(QString::fromStdString(font.name)));
    QFont result = shown.name.empty() ? QApplication::font() : QFont();
    if (!shown.name.empty())
        result.setFamily(QString::fromStdString(shown.name));
    result.setPointSizeF(shown.points);
    result.setWeight(static_cast<QFont::Weight>(shown.weight));
    return result;
}

} // namespace ui::qt
