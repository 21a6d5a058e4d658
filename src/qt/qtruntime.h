#pragma once

#include "clock.h"
#include "ui/window.h"
#include "windowhost.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <memory>

namespace ui::qt {

class Notifications;

// Builds Qt widgets from window definitions: twips become logical pixels at 15 to the pixel, so
// Qt's own high-DPI scaling keeps the proportions on larger screens.
class QtRuntime final : public Runtime, public WindowHost {
public:
    QtRuntime();
    ~QtRuntime() override;

    std::unique_ptr<Window> load(const WindowDefinition &definition) override;
    void notify(const Notice &notice, Handler act, Handler later) override;
    std::string clockTime(std::time_t when, bool seconds) const override
    {
        return localClockTime(when, seconds);
    }
    void withdrawNotice(const std::string &outcome) override;

    QColor colour(Colour colour) const override;
    QFont font(const Font &font) const override;
    void run(const Handler &handler) override { runHandler(handler); }

private:
    void fail(const std::string &message) override;

    std::unique_ptr<Notifications> m_notifications; // once the first is shown
};

} // namespace ui::qt
