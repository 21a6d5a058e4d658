#include "kwinfocus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QJsonDocument>
#include <QJsonValue>

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

} // namespace

KWinFocus::KWinFocus(QObject *parent)
    : QObject(parent), m_name(QStringLiteral("veltrane-%1").arg(QCoreApplication::applicationPid()))
{
}

void KWinFocus::focus(const QString &title)
{
    if (!onPlasma())
        return;
    const QByteArray words =
        QJsonDocument::fromVariant(QVariantList{QCoreApplication::applicationPid(), title})
            .toJson(QJsonDocument::Compact);
    // KWin reads scripts from files only; the window is named by this process and its title.
    if (!m_script.isOpen() && !m_script.open())
        return;
    m_script.resize(0);
    m_script.write("const [pid, title] = " + words + ";\n" + R"(
for (const window of workspace.clientList()) {
    if (window.pid === pid && window.caption === title) {
        window.keepAbove = true;
        workspace.activeClient = window;
    }
}
)");
    m_script.flush();
    // One run at a time. KWin numbers its scripts by how many it holds, and an unloaded one
    // goes only later: unloading as soon as a run has ended keeps the numbers apart.
    QDBusConnection bus = QDBusConnection::sessionBus();
    auto *loading = new QDBusPendingCallWatcher(
        bus.asyncCall(scripting("loadScript") << m_script.fileName() << m_name), this);
    connect(loading, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher *call) {
                call->deleteLater();
                const QDBusPendingReply<int> id = *call;
                if (id.isError() || id.value() < 0)
                    return; // not on KWin, or the last run still going
                const QDBusMessage run = QDBusMessage::createMethodCall(
                    QStringLiteral("org.kde.KWin"), QStringLiteral("/%1").arg(id.value()),
                    QStringLiteral("org.kde.kwin.Script"), QStringLiteral("run"));
                auto *running =
                    new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(run), this);
                connect(running, &QDBusPendingCallWatcher::finished, this,
                        [this](QDBusPendingCallWatcher *ran) {
                            ran->deleteLater();
                            QDBusConnection::sessionBus().asyncCall(scripting("unloadScript")
                                                                    << m_name);
                        });
            });
}

} // namespace ui::qt
