#pragma once

#include "ui/window.h"

#include <QObject>

#include <deque>
#include <functional>
#include <optional>

namespace ui::qt {

// The desktop's notifications (org.freedesktop.Notifications on the session bus): one
// notification at a time, urgent, replaced in place. Nothing here ever blocks: without a
// service, the program goes on as before.
class Notifications final : public QObject {
    Q_OBJECT

public:
    // `run` runs an event handler, as the runtime does.
    using Run = std::function<void(const Handler &)>;
    explicit Notifications(Run run);
    ~Notifications() override;

    // `later` runs on its second action, where it has one.
    void show(const Notice &notice, Handler act, Handler later);
    // Where the service may leave it on screen, it says `outcome` first, briefly.
    void withdraw(const std::string &outcome = {});

private slots:
    // Slots by name: QtDBus connects a bus's signals no other way.
    void actionInvoked(uint id, const QString &action);
    void closed(uint id, uint reason);

private:
    // Sends what waits, in order; each notification's number comes with the service's answer,
    // and the next one needs it.
    void pump();
    void send(const Notice &notice);
    void close();
    void failed(const QString &why);

    Run m_run;
    Handler m_act;
    Handler m_later;
    uint m_id = 0;                               // the service's number for the one shown
    std::optional<Notice> m_shown;               // what it says
    bool m_asking = false;                       // for that number
    std::deque<std::optional<Notice>> m_waiting; // to show, or, where empty, to withdraw
    bool m_told = false;                         // the log has heard why there are none
    bool m_clickIsAButton = false;               // the service draws "default" as a button
    bool m_mayStay = false;                      // a withdrawn one may stay on screen
    bool m_freshOnly = false;                    // a replaced one loses its actions
};

} // namespace ui::qt
