#include "swayfocus.h"

#include <QCoreApplication>

#include <cstring>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace ui::qt {

namespace {

// The window's title as a regular expression that matches it alone.
QString exactly(const QString &title)
{
    QString pattern = QStringLiteral("^");
    for (const QChar character : title) {
        if (QStringLiteral("\\.^$|?*+()[]{}\"").contains(character))
            pattern += u'\\';
        pattern += character;
    }
    return pattern + u'$';
}

} // namespace

void focusOnSway(const QString &title)
{
    const QByteArray path = qgetenv("SWAYSOCK");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof address.sun_path)
        return;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return;
    // sway answers at once; a hung one must not hold up the countdown.
    const timeval wait{0, 100000};
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    const QByteArray command = QStringLiteral("[pid=%1 title=\"%2\"] focus")
                                   .arg(QCoreApplication::applicationPid())
                                   .arg(exactly(title))
                                   .toUtf8();
    // The i3 message format: magic, payload length, type 0 (run a command), payload.
    const quint32 header[2] = {quint32(command.size()), 0};
    QByteArray message = QByteArrayLiteral("i3-ipc");
    message.append(reinterpret_cast<const char *>(header), sizeof header).append(command);
    if (::connect(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 &&
        ::send(socket, message.constData(), std::size_t(message.size()), MSG_NOSIGNAL) ==
            message.size()) {
        // Its answer is read, not heeded: sway would otherwise write to a closed socket.
        char reply[256];
        static_cast<void>(::recv(socket, reply, sizeof reply, 0));
    }
    ::close(socket);
}

} // namespace ui::qt
