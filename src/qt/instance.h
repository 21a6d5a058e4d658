#pragma once

#include "app/request.h"

#include <QDBusVirtualObject>

#include <functional>
#include <optional>

namespace ui::qt {

// One Veltrane per desktop session. The first start owns the program's id as a name on the
// session bus and answers there; a later start asks it, and ends.
class Instance final : public QDBusVirtualObject {
public:
    using Handler = std::function<app::Answer(const app::Request &)>;

    // Asks the running one, where there is one on the session bus. Needs no window.
    static std::optional<app::Answer> ask(const app::Request &request);

    Instance();
    ~Instance() override;
    // Takes the name, unless another start has it already; Alone, and logged why, where
    // the session bus is out of reach.
    app::Claim claim();
    // Requests are answered from now on.
    void serve(Handler handle) { m_handle = std::move(handle); }

    QString introspect(const QString &path) const override;
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

private:
    Handler m_handle;
    bool m_registered = false;
};

} // namespace ui::qt
