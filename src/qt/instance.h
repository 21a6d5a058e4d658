#pragma once

#include "app/request.h"
#include "app/status.h"

#include <QDBusVirtualObject>
#include <QVariantMap>

#include <functional>
#include <optional>
#include <variant>

namespace ui::qt {

// One Veltrane per desktop session. The first start owns the program's id as a name on the
// session bus and answers there; a later start asks it (runningone.h), and ends.
class Instance final : public QDBusVirtualObject {
public:
    using Handler = std::function<app::Answer(const app::Request &)>;
    using Status = std::function<app::Status()>;

    Instance();
    ~Instance() override;
    // Takes the name, unless another start has it already; Alone, and logged why, where
    // the session bus is out of reach.
    app::Claim claim();
    // Requests are answered from now on, and the status told; none once both are empty.
    void serve(Handler handle, Status status)
    {
        m_handle = std::move(handle);
        m_status = std::move(status);
    }
    // Tells the bus of the new state: its properties, where they changed.
    void changed(const app::Status &status);

    QString introspect(const QString &path) const override;
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

private:
    // The properties a panel reads: State, End (the end's time of the clock, 0 for none) and
    // DryRun.
    QVariantMap properties(const app::Status &status) const;

    Handler m_handle;
    Status m_status;
    QVariantMap m_told; // the properties as last told
    bool m_registered = false;
};

} // namespace ui::qt
