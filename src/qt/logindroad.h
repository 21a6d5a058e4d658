#pragma once

#include "buscalls.h"
#include "poweroff/road.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include <chrono>

class QDBusMessage;

namespace poweroff {

// Linux: systemd-logind over the system bus. logind asks polkit whether the caller may power
// off; the check asks it the same question without acting on it. Staying awake goes through
// the desktop's portal where one runs, else through logind.
class LogindRoad final : public Road {
public:
    // How long a request may go unanswered before the user hears there is no answer yet, and
    // before it is given up.
    static constexpr std::chrono::milliseconds NoticeAfter{10000};
    static constexpr std::chrono::milliseconds GiveUpAfter{120000};
    struct Times {
        std::chrono::milliseconds notice = NoticeAfter;
        std::chrono::milliseconds giveUp = GiveUpAfter;
    };
    LogindRoad() : LogindRoad(Times()) {}
    explicit LogindRoad(Times times);
    ~LogindRoad() override;

    void check(Checked done) override;
    void request(Answered done) override;
    void stayAwake(bool awake) override;

    // Why a refusal came, in a few plain words, by the error logind or the bus answered with.
    static std::string reason(const QString &errorName, const QString &message,
                              const QString &holder);

private:
    // What stands between the caller and a power-off that logind would not allow: the first
    // program of another user that holds a block on shutdown (logind ignores the caller's own),
    // and whether the caller is in a login session at all (polkit lets only an active session's
    // programs power off without a password).
    struct Cause {
        QString holder, why; // empty when no other user's program blocks it
        bool outsideSession = false;
    };
    void findCause(std::function<void(const Cause &)> then);
    void inhibit();
    void settle();
    void release();

    Times m_times;
    ui::qt::BusCalls m_bus;
    bool m_awake = false;
    bool m_asking = false;
    QString m_portalRequest;        // the portal's handle for our inhibition
    QDBusUnixFileDescriptor m_lock; // logind's inhibitor lock, held while open
};

} // namespace poweroff
