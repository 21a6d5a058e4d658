#include "kwinfocus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QJsonDocument>

namespace ui::qt {

namespace {

QDBusMessage scripting(const char *method)
{
    return QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
        QStringLiteral("org.kde.kwin.Scripting"), QLatin1String(method));
}

bool onPlasma()
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP")
        .split(u':')
        .contains(QLatin1String("KDE"), Qt::CaseInsensitive);
}

// Once a second, not at once: the user may still type in another window for a moment.
const char *const Script = R"(
function forward() {
    const windows = workspace.clientList().filter(w => w.pid === pid && w.caption === title);
    for (const window of windows) {
        window.minimized = false;
        window.keepAbove = true;
        workspace.activeClient = window;
    }
    return windows.length > 0;
}
if (forward() && keep) {
    const timer = new QTimer();
    timer.interval = 1000;
    timer.timeout.connect(() => forward() || timer.stop());
    timer.start();
}
)";

} // namespace

KWinFocus::KWinFocus(QObject *parent)
    : QObject(parent), m_name(QStringLiteral("veltrane-%1-%2")
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(quintptr(this), 0, 16))
{
}

KWinFocus::~KWinFocus()
{
    if (m_keeping)
        QDBusConnection::sessionBus().asyncCall(scripting("unloadScript") << m_name);
}

void KWinFocus::focus(const QString &title, bool keep)
{
    if (m_keeping || !onPlasma())
        return;
    // KWin reads scripts from files only; the window is named by this process and its title.
    if (!m_script.isOpen() && !m_script.open())
        return;
    m_script.resize(0);
    m_script.write(
        "const [pid, title, keep] = " +
        QJsonDocument::fromVariant(QVariantList{QCoreApplication::applicationPid(), title, keep})
            .toJson(QJsonDocument::Compact) +
        ";\n" + Script);
    m_script.flush();
    m_keeping = keep;
    // KWin numbers its scripts by how many it holds: a script loaded and unloaded each second
    // would soon share its number with another, and never run. One that keeps is loaded once.
    auto *loading =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(
                                        scripting("loadScript") << m_script.fileName() << m_name),
                                    this);
    connect(loading, &QDBusPendingCallWatcher::finished, this,
            [this, keep](QDBusPendingCallWatcher *call) {
                call->deleteLater();
                const QDBusPendingReply<int> id = *call;
                if (id.isError() || id.value() < 0) {
                    m_keeping = false; // not on KWin after all, or still loaded: next time
                    return;
                }
                const QDBusMessage run = QDBusMessage::createMethodCall(
                    QStringLiteral("org.kde.KWin"), QStringLiteral("/%1").arg(id.value()),
                    QStringLiteral("org.kde.kwin.Script"), QStringLiteral("run"));
                // KWin answers once the script has run.
                auto *running =
                    new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(run), this);
                connect(running, &QDBusPendingCallWatcher::finished, this,
                        [this, keep](QDBusPendingCallWatcher *ran) {
                            ran->deleteLater();
                            if (!keep)
                                QDBusConnection::sessionBus().asyncCall(scripting("unloadScript")
                                                                        << m_name);
                        });
            });
}

} // namespace ui::qt
