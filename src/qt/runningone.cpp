#include "runningone.h"

#include "buserrors.h"
#include "instancebus.h"
#include "log/log.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace ui::qt::runningone {

namespace {

// A call to the running one; where none runs, none is to be started by the bus.
QDBusMessage method(const char *member)
{
    QDBusMessage call = QDBusMessage::createMethodCall(instanceName(), instancePath(),
                                                       instanceName(), QLatin1String(member));
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
        error.startsWith(instanceErrorPrefix())
            ? app::answerNamed(error.mid(instanceErrorPrefix().size()).toStdString())
            : std::nullopt;
    if (named)
        return named;
    logging::log("the running one answered " + error.toStdString() + ": " +
                 reply.errorMessage().toStdString());
    return unknownMethod(reply) ? app::Answer::NotUnderstood : app::Answer::NoAnswer;
}

} // namespace

std::optional<app::Answer> ask(const app::Request &request)
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

std::optional<std::variant<app::Status, app::Answer>> askStatus()
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

} // namespace ui::qt::runningone
