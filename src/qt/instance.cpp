#include "instance.h"

#include "buserrors.h"

#include "log/log.h"
#include "version.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>

#include <cstdlib>
#include <ctime>

namespace ui::qt {

namespace {

const QString Name = QStringLiteral(VELTRANE_ID);
const QString Path = QStringLiteral("/org/veltrane/Veltrane");
const QString ErrorPrefix = Name + QStringLiteral(".Error.");

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
    if (member == QLatin1String("Start") && signature == QLatin1String("ib")) {
        request.kind = Kind::Start;
        request.seconds = arguments.at(0).toInt();
        request.dryRun = arguments.at(1).toBool();
        return request;
    }
    // Options by name: a later version may send more, which this one leaves alone.
    if (member == QLatin1String("StartWithOptions") && signature == QLatin1String("iba{sv}")) {
        request.kind = Kind::Start;
        request.seconds = arguments.at(0).toInt();
        request.dryRun = arguments.at(1).toBool();
        const QVariantMap options = qdbus_cast<QVariantMap>(arguments.at(2));
        request.quiet = options.value(QStringLiteral("quiet")).toBool();
        return request;
    }
    if (member == QLatin1String("Snooze") && signature == QLatin1String("ib")) {
        request.kind = Kind::Snooze;
        request.seconds = arguments.at(0).toInt();
        request.dryRun = arguments.at(1).toBool();
        return request;
    }
    if (member == QLatin1String("Cancel") && signature == QLatin1String("b")) {
        request.kind = Kind::Cancel;
        request.dryRun = arguments.at(0).toBool();
        return request;
    }
    return std::nullopt;
}

// A call to the running one; where none runs, none is to be started by the bus.
QDBusMessage method(const char *member)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Name, Path, Name, QLatin1String(member));
    call.setAutoStartService(false);
    return call;
}

QDBusMessage called(const QDBusMessage &call)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // Qt's bus thread tells of an error reply once more after this one has it, and a
        // start that only asks would be ending beside it: Qt then prints "invalid type" lines.
        // Asked after it, the bus's own answer comes once the thread is done with the error.
        bus.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                QStringLiteral("/org/freedesktop/DBus"),
                                                QStringLiteral("org.freedesktop.DBus.Peer"),
                                                QStringLiteral("Ping")),
                 QDBus::Block, 1000);
    }
    return reply;
}

bool unknownMethod(const QDBusMessage &reply)
{
    return reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod");
}

// The answer an error reply carries; none where nobody runs.
std::optional<app::Answer> refusal(const QDBusMessage &reply)
{
    const QString error = reply.errorName();
    // Without auto-start the bus says either, as it is configured.
    if (noSuchService(error))
        return std::nullopt;
    const std::optional<app::Answer> named =
        error.startsWith(ErrorPrefix)
            ? app::answerNamed(error.mid(ErrorPrefix.size()).toStdString())
            : std::nullopt;
    if (named)
        return named;
    logging::log("the running one answered " + error.toStdString() + ": " +
                 reply.errorMessage().toStdString());
    return unknownMethod(reply) ? app::Answer::NotUnderstood : app::Answer::NoAnswer;
}

} // namespace

std::optional<app::Answer> Instance::ask(const app::Request &request)
{
    using Kind = app::Request::Kind;
    if (!QDBusConnection::sessionBus().isConnected())
        return std::nullopt;
    QDBusMessage reply;
    switch (request.kind) {
    case Kind::Start:
        reply = called(method("StartWithOptions")
                       << request.seconds << request.dryRun
                       << QVariantMap{{QStringLiteral("quiet"), request.quiet}});
        // One that knows no options yet still takes the span.
        if (unknownMethod(reply))
            reply = called(method("Start") << request.seconds << request.dryRun);
        break;
    case Kind::Snooze:
        reply = called(method("Snooze") << request.seconds << request.dryRun);
        break;
    case Kind::Cancel:
        reply = called(method("Cancel") << request.dryRun);
        break;
    case Kind::Status: // asked through askStatus()
    case Kind::Raise:
        reply = called(method("Raise"));
        break;
    }
    if (reply.type() != QDBusMessage::ReplyMessage)
        return refusal(reply);
    return request.kind == Kind::Cancel && !reply.arguments().value(0).toBool()
               ? app::Answer::NothingToStop
               : app::Answer::Done;
}

std::optional<std::variant<app::Status, app::Answer>> Instance::askStatus()
{
    if (!QDBusConnection::sessionBus().isConnected())
        return std::nullopt;
    const QDBusMessage reply = called(method("Status"));
    if (reply.type() != QDBusMessage::ReplyMessage) {
        if (const std::optional<app::Answer> answer = refusal(reply))
            return *answer;
        return std::nullopt;
    }
    const QVariantList said = reply.arguments();
    const QString state = said.value(0).toString();
    app::Status status;
    status.state = state == QLatin1String("counting")  ? app::Status::State::Counting
                   : state == QLatin1String("warning") ? app::Status::State::Warning
                                                       : app::Status::State::Idle;
    status.left = said.value(1).toInt();
    status.dryRun = said.value(2).toBool();
    return status;
}

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
