#include "instance.h"

#include "instancebus.h"

#include "log/log.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>

#include <cstdlib>
#include <ctime>

namespace ui::qt {

namespace {

const QString Name = instanceName();
const QString Path = instancePath();
const QString ErrorPrefix = instanceErrorPrefix();

// The calls, by name and the types of their arguments.
std::optional<app::Request> requestIn(const QDBusMessage &message)
{
    using Kind = app::Request::Kind;
    const QString member = message.member();
    const QString signature = message.signature();
    const QVariantList arguments = message.arguments();
    if (!message.interface().isEmpty() && message.interface() != Name)
        return std::nullopt;
    app::Request request;
    if (member == QLatin1String("Raise") && signature.isEmpty())
        return request;
    if (member == QLatin1String("Status") && signature.isEmpty()) {
        request.kind = Kind::Status;
        return request;
    }
    // A span and the mode; a start may add options by name, and a later version may send more,
    // which this one leaves alone.
    const bool start = member == QLatin1String("Start");
    const bool withOptions =
        member == QLatin1String("StartWithOptions") && signature == QLatin1String("iba{sv}");
    if (((start || member == QLatin1String("Snooze")) && signature == QLatin1String("ib")) ||
        withOptions) {
        request.kind = start || withOptions ? Kind::Start : Kind::Snooze;
        request.seconds = arguments.at(0).toInt();
        request.dryRun = arguments.at(1).toBool();
        if (withOptions)
            request.quiet =
                qdbus_cast<QVariantMap>(arguments.at(2)).value(QStringLiteral("quiet")).toBool();
        return request;
    }
    if (member == QLatin1String("Cancel") && signature == QLatin1String("b")) {
        request.kind = Kind::Cancel;
        request.dryRun = arguments.at(0).toBool();
        return request;
    }
    return std::nullopt;
}

} // namespace

Instance::Instance() = default;

Instance::~Instance()
{
    if (m_registered)
        QDBusConnection::sessionBus().unregisterObject(Path);
}

app::Claim Instance::claim()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        logging::log("running alone: no session bus (" + bus.lastError().message().toStdString() +
                     ")");
        return app::Claim::Alone;
    }
    // The object first: a start that finds the name finds it answering.
    m_registered = bus.registerVirtualObject(Path, this);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(Name, QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return app::Claim::Owned;
    if (reply.isValid())
        return app::Claim::Taken;
    logging::log("running alone: the session bus refused the name " + Name.toStdString() + " (" +
                 reply.error().message().toStdString() + ")");
    return app::Claim::Alone;
}

QString Instance::introspect(const QString &) const
{
    return QStringLiteral("<interface name=\"org.freedesktop.DBus.Introspectable\">"
                          "<method name=\"Introspect\">"
                          "<arg name=\"xml\" type=\"s\" direction=\"out\"/></method>"
                          "</interface>"
                          "<interface name=\"%1\">"
                          "<method name=\"Raise\"/>"
                          "<method name=\"Start\">"
                          "<arg name=\"seconds\" type=\"i\" direction=\"in\"/>"
                          "<arg name=\"dryRun\" type=\"b\" direction=\"in\"/></method>"
                          "<method name=\"StartWithOptions\">"
                          "<arg name=\"seconds\" type=\"i\" direction=\"in\"/>"
                          "<arg name=\"dryRun\" type=\"b\" direction=\"in\"/>"
                          "<arg name=\"options\" type=\"a{sv}\" direction=\"in\"/></method>"
                          "<method name=\"Cancel\">"
                          "<arg name=\"dryRun\" type=\"b\" direction=\"in\"/>"
                          "<arg name=\"stopped\" type=\"b\" direction=\"out\"/></method>"
                          "<method name=\"Snooze\">"
                          "<arg name=\"seconds\" type=\"i\" direction=\"in\"/>"
                          "<arg name=\"dryRun\" type=\"b\" direction=\"in\"/></method>"
                          "<method name=\"Status\">"
                          "<arg name=\"state\" type=\"s\" direction=\"out\"/>"
                          "<arg name=\"left\" type=\"i\" direction=\"out\"/>"
                          "<arg name=\"dryRun\" type=\"b\" direction=\"out\"/></method>"
                          "<property name=\"State\" type=\"s\" access=\"read\"/>"
                          "<property name=\"End\" type=\"x\" access=\"read\"/>"
                          "<property name=\"DryRun\" type=\"b\" access=\"read\"/>"
                          "</interface>"
                          "<interface name=\"org.freedesktop.DBus.Properties\">"
                          "<method name=\"Get\">"
                          "<arg name=\"interface\" type=\"s\" direction=\"in\"/>"
                          "<arg name=\"name\" type=\"s\" direction=\"in\"/>"
                          "<arg name=\"value\" type=\"v\" direction=\"out\"/></method>"
                          "<method name=\"GetAll\">"
                          "<arg name=\"interface\" type=\"s\" direction=\"in\"/>"
                          "<arg name=\"values\" type=\"a{sv}\" direction=\"out\"/></method>"
                          "<signal name=\"PropertiesChanged\">"
                          "<arg name=\"interface\" type=\"s\"/>"
                          "<arg name=\"changed\" type=\"a{sv}\"/>"
                          "<arg name=\"invalidated\" type=\"as\"/></signal>"
                          "</interface>")
        .arg(Name);
}

QVariantMap Instance::properties(const app::Status &status) const
{
    const qint64 end =
        status.state == app::Status::State::Idle ? 0 : qint64(std::time(nullptr)) + status.left;
    return {{QStringLiteral("State"), QString::fromStdString(status.stateName())},
            {QStringLiteral("End"), end},
            {QStringLiteral("DryRun"), status.dryRun}};
}

void Instance::changed(const app::Status &status)
{
    QVariantMap now = properties(status);
    // The end read a second apart is the same end.
    if (!m_told.isEmpty() && std::abs(now.value(QStringLiteral("End")).toLongLong() -
                                      m_told.value(QStringLiteral("End")).toLongLong()) <= 1)
        now[QStringLiteral("End")] = m_told.value(QStringLiteral("End"));
    QVariantMap different;
    for (auto property = now.cbegin(); property != now.cend(); ++property)
        if (m_told.value(property.key()) != property.value())
            different.insert(property.key(), property.value());
    m_told = now;
    if (different.isEmpty() || !m_registered)
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(Path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << Name << different << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

bool Instance::handleMessage(const QDBusMessage &message, const QDBusConnection &connection)
{
    if (message.interface() == QLatin1String("org.freedesktop.DBus.Introspectable") &&
        message.member() == QLatin1String("Introspect") && message.signature().isEmpty()) {
        connection.send(
            message.createReply(QStringLiteral("<node>%1</node>").arg(introspect(message.path()))));
        return true;
    }
    const bool properties =
        message.interface() == QLatin1String("org.freedesktop.DBus.Properties") && m_status &&
        message.arguments().value(0).toString() == Name;
    if (properties && message.member() == QLatin1String("GetAll") &&
        message.signature() == QLatin1String("s")) {
        connection.send(
            message.createReply(m_told.isEmpty() ? this->properties(m_status()) : m_told));
        return true;
    }
    if (properties && message.member() == QLatin1String("Get") &&
        message.signature() == QLatin1String("ss")) {
        const QVariantMap all = m_told.isEmpty() ? this->properties(m_status()) : m_told;
        const QString name = message.arguments().value(1).toString();
        connection.send(
            all.contains(name)
                ? message.createReply(QVariant::fromValue(QDBusVariant(all[name])))
                : message.createErrorReply(QDBusError::InvalidArgs,
                                           QStringLiteral("No such property: ") + name));
        return true;
    }
    const std::optional<app::Request> request = requestIn(message);
    if (request && request->kind == app::Request::Kind::Status && m_status) {
        const app::Status status = m_status();
        connection.send(message.createReply(
            {QString::fromStdString(status.stateName()), status.left, status.dryRun}));
        return true;
    }
    if (!request || !m_handle) {
        const QString call = message.interface() + QLatin1Char('.') + message.member() +
                             QLatin1Char('(') + message.signature() + QLatin1Char(')');
        logging::log("a call on the session bus refused: " + call.toStdString());
        connection.send(message.createErrorReply(QDBusError::UnknownMethod,
                                                 QStringLiteral("No such call: ") + call));
        return true;
    }
    const app::Answer answer = m_handle(*request);
    if (app::exitStatus(answer) != 0) {
        connection.send(
            message.createErrorReply(ErrorPrefix + QString::fromStdString(app::name(answer)),
                                     QString::fromStdString(app::words(answer))));
    } else if (request->kind == app::Request::Kind::Cancel) {
        connection.send(message.createReply(answer == app::Answer::Done));
    } else {
        connection.send(message.createReply());
    }
    return true;
}

} // namespace ui::qt
