#include "qtruntime.h"

#include "accessibility.h"
#include "notifications.h"
#include "qtwindow.h"

#include <QAccessible>
#include <QApplication>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPalette>

#include <cstdio>

namespace ui::qt {

namespace {

const char DigitFace[] = "BankGothic Md BT";
const char UiFace[] = "MS Sans Serif";

} // namespace

QtRuntime::QtRuntime()
{
    static const bool accessible = (QAccessible::installFactory(accessibleInterface), true);
    Q_UNUSED(accessible);
    // The main window's close ends the program (QtWindow quits then), even while the warning,
    // a window of its own, is still open; nothing else does.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    if (QFontDatabase::families().contains(QLatin1String(DigitFace))) {
        m_digitFamily = QLatin1String(DigitFace);
        return;
    }
    // A wide, squared face under the SIL Open Font License, shipped with the program.
    // TrueType rather than a web font: nothing to decompress at start-up.
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/michroma.ttf"));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    m_digitFamily = families.isEmpty() ? QString() : families.front();
}

QtRuntime::~QtRuntime() = default;

std::unique_ptr<Window> QtRuntime::load(const WindowDefinition &definition)
{
    return std::make_unique<QtWindow>(definition, *this);
}

void QtRuntime::fatal(const std::string &message)
{
    std::fprintf(stderr, "veltrane: %s\n", message.c_str());
    QMessageBox::critical(nullptr, QStringLiteral("Veltrane"), QString::fromStdString(message));
    QCoreApplication::exit(1);
}

void QtRuntime::notify(const Notice &notice, Handler act)
{
    // The session bus is not touched before a notification is needed: start-up stays lean.
    if (!m_notifications)
        m_notifications = std::make_unique<Notifications>(*this);
    m_notifications->show(notice, std::move(act));
}

void QtRuntime::withdrawNotice()
{
    if (m_notifications)
        m_notifications->withdraw();
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
    QFont result;
    double points = font.points;
    if (font.name == DigitFace && !m_digitFamily.isEmpty()) {
        result.setFamily(m_digitFamily);
        // The bundled face runs wider than the one it stands in for: at 5/6 of the size two
        // digits still fit their field.
        if (m_digitFamily != QLatin1String(DigitFace))
            points = points * 5 / 6;
    } else if (font.name == UiFace && !QFontDatabase::families().contains(QLatin1String(UiFace)))
        result = QApplication::font(); // the desktop's own UI face stands in for it
    else
        result.setFamily(QString::fromStdString(font.name));
    result.setPointSizeF(points);
    result.setWeight(static_cast<QFont::Weight>(font.weight));
    return result;
}

void QtRuntime::run(const Handler &handler)
{
    // No exception may cross Qt's event loop.
    try {
        handler();
    } catch (const std::exception &error) {
        fatal(error.what());
    }
}

} // namespace ui::qt
