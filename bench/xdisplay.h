#pragma once

#include <QByteArray>
#include <QObject>
#include <QPoint>

#include <xcb/xcb.h>

#include <chrono>
#include <vector>

class QSocketNotifier;

using Clock = std::chrono::steady_clock;

// The bench's own view of an X server, from outside the programs it measures: which top-level
// windows are mapped and when, when a window's pixels change (XDamage), and a pointer of its own
// (XTest). Each event is stamped as it is read; the event loop reads them as they arrive.
class XDisplay final : public QObject {
public:
    struct Seen {
        xcb_window_t window;
        Clock::time_point at;
    };

    explicit XDisplay(const QByteArray &name);
    ~XDisplay() override;
    XDisplay(const XDisplay &) = delete;
    XDisplay &operator=(const XDisplay &) = delete;

    bool isOpen() const { return m_notifier != nullptr; }
    // Top-level windows mapped so far, in order; popups (tooltips, menus) are left out.
    const std::vector<Seen> &mapped() const { return m_mapped; }
    // Every change to the window's pixels from now on goes to damaged().
    void watch(xcb_window_t window);
    const std::vector<Seen> &damaged() const { return m_damaged; }
    void forget();

    QPoint origin(xcb_window_t window); // the window's top-left on the screen
    void moveTo(QPoint at);
    void press(bool down);

private:
    void read();

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    std::uint8_t m_damageEvent = 0;
    std::uint32_t m_damage = 0;
    QSocketNotifier *m_notifier = nullptr;
    std::vector<Seen> m_mapped;
    std::vector<Seen> m_damaged;
};
