#include "instance.h"

#include "buserrors.h"

#include "log/log.h"
#include "version.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

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
    if (member == QLatin1String("Start") && signature == QLatin1String("ib")) {
        request.kind = Kind::Start;
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

} // namespace

std::optional<app::Answer> Instance::ask(const app::Request &request)
{
    using Kind = app::Request::Kind;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    const char *member = request.kind == Kind::Start    ? "Start"
                         : request.kind == Kind::Cancel ? "Cancel"
                                                        : "Raise";
    QDBusMessage call = QDBusMessage::createMethodCall(Name, Path, Name, QLatin1String(member));
    if (request.kind == Kind::Start)
        call << request.seconds;
    if (request.kind != Kind::Raise)
        call << request.dryRun;
    // Where none runs, none is to be started by the bus.
    call.setAutoStartService(false);
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
    if (reply.type() == QDBusMessage::ReplyMessage)
        return request.kind == Kind::Cancel && !reply.arguments().value(0).toBool()
                   ? app::Answer::NothingToStop
                   : app::Answer::Done;
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
    return error == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod")
               ? app::Answer::NotUnderstood
               : app::Answer::NoAnswer;
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
                          "<method name=\"Cancel\">"
                          "<arg name=\"dryRun\" type=\"b\" direction=\"in\"/>"
                          "<arg name=\"stopped\" type=\"b\" direction=\"out\"/></method>"
                          "</interface>")
        .arg(Name);
}

bool Instance::handleMessage(const QDBusMessage &message, const QDBusConnection &connection)
{
    if (message.interface() == QLatin1String("org.freedesktop.DBus.Introspectable") &&
        message.member() == QLatin1String("Introspect") && message.signature().isEmpty()) {
        connection.send(
            message.createReply(QStringLiteral("<node>%1</node>").arg(introspect(message.path()))));
        return true;
    }
    const std::optional<app::Request> request = requestIn(message);
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
