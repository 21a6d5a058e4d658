#include "xdisplay.h"

#include <QSocketNotifier>

#include <xcb/damage.h>
#include <xcb/xtest.h>

#include <cstdlib>

XDisplay::XDisplay(const QByteArray &name)
{
    m_connection = xcb_connect(name.constData(), nullptr);
    if (xcb_connection_has_error(m_connection))
        return;
    const xcb_query_extension_reply_t *damage =
        xcb_get_extension_data(m_connection, &xcb_damage_id);
    const xcb_query_extension_reply_t *test = xcb_get_extension_data(m_connection, &xcb_test_id);
    if (!damage || !damage->present || !test || !test->present)
        return;
    m_damageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
    // The server speaks damage only to a client that has said which version it knows.
    std::free(xcb_damage_query_version_reply(
        m_connection, xcb_damage_query_version(m_connection, 1, 1), nullptr));
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const std::uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &events);
    xcb_flush(m_connection);
    m_notifier =
        new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &XDisplay::read);
}

XDisplay::~XDisplay()
{
    xcb_disconnect(m_connection);
}

void XDisplay::read()
{
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        const Clock::time_point now = Clock::now();
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_MAP_NOTIFY) {
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if (!map->override_redirect)
                m_mapped.push_back({map->window, now});
        } else if (m_damageEvent && type == m_damageEvent) {
            const auto *damage = reinterpret_cast<xcb_damage_notify_event_t *>(event);
            if (damage->damage == m_damage)
                m_damaged.push_back({damage->drawable, now});
        }
        std::free(event);
    }
}

void XDisplay::watch(xcb_window_t window)
{
    forget();
    m_damage = xcb_generate_id(m_connection);
    // Every rectangle as it is drawn: nothing needs to be subtracted to hear of the next.
    xcb_damage_create(m_connection, m_damage, window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    xcb_flush(m_connection);
}

void XDisplay::forget()
{
    if (m_damage)
        xcb_damage_destroy(m_connection, m_damage);
    m_damage = 0;
    m_damaged.clear();
    m_mapped.clear();
    xcb_flush(m_connection);
}

QPoint XDisplay::origin(xcb_window_t window)
{
    xcb_translate_coordinates_reply_t *reply = xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr);
    const QPoint at = reply ? QPoint(reply->dst_x, reply->dst_y) : QPoint();
    std::free(reply);
    return at;
}

void XDisplay::moveTo(QPoint at)
{
    xcb_test_fake_input(m_connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, m_root,
                        static_cast<std::int16_t>(at.x()), static_cast<std::int16_t>(at.y()), 0);
    xcb_flush(m_connection);
}

void XDisplay::press(bool down)
{
    xcb_test_fake_input(m_connection, down ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, 1,
                        XCB_CURRENT_TIME, m_root, 0, 0, 0);
    xcb_flush(m_connection);
}
