#pragma once

#include "ui/window.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace poweroff {
class Platform;
}

namespace confirm {

// The last warning before power-off: counts 30 seconds down in its message and asks the system
// to power off when nobody has pressed Cancel. One instance serves every run; each showing
// loads the window afresh from its definition.
class ShutDownForm final {
public:
    ShutDownForm(ui::Runtime &runtime, poweroff::Platform &platform);

    // Loads the window and shows it modally over its owner; returns at once.
    void show(ui::Window &owner);
    bool isLoaded() const;
    ui::Window *window() const { return m_window.get(); }

    void Form_Load();
    void tmrShutDown_Timer();
    void cmdCancel_Click();

private:
    void PowerOffNow();
    void requestFinished(const std::optional<std::string> &error);

    ui::Runtime &m_runtime;
    poweroff::Platform &m_platform;
    std::unique_ptr<ui::Window> m_window;
    ui::Window::Label *m_status = nullptr;
    ui::Window::Timer *m_timer = nullptr;
    std::int16_t SecondsLeft = 0;
    int m_loads = 0; // tells a late answer to a request from an earlier showing
};

} // namespace confirm
