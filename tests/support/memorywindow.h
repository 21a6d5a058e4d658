#pragma once

#include "ui/window.h"

#include <map>
#include <string>
#include <vector>

class MemoryRuntime;

// A window held in memory: the controls keep their values, and a test plays the user and the
// clock through click(), step(), tick() and close().
class MemoryWindow final : public ui::Window {
public:
    MemoryWindow(const ui::WindowDefinition &definition, MemoryRuntime &runtime);
    ~MemoryWindow() override;

    Label &label(std::string_view name) override;
    ScrollBar &scrollBar(std::string_view name) override;
    Button &button(std::string_view name) override;
    Timer &timer(std::string_view name) override;
    void show() override;
    void showModal(Window &owner) override;
    void unload() override;
    bool isLoaded() const override { return m_loaded; }

    // The user's and the clock's side. Each runs the control's handler the way the runtime
    // would; a tick of a disabled timer does nothing and returns false.
    void click(std::string_view button);
    void step(std::string_view scrollBar, int delta);
    bool tick(std::string_view timer);
    void close() { unload(); }

    std::string toolTip(std::string_view label);
    bool isModal() const { return m_owner != nullptr; }
    Window *owner() const { return m_owner; }
    const std::string &name() const { return m_name; }

    class MemoryLabel;
    class MemoryScrollBar;
    class MemoryButton;
    class MemoryTimer;

private:
    template <typename T> T &find(std::string_view name);

    MemoryRuntime &m_runtime;
    std::string m_name;
    std::map<std::string, std::unique_ptr<MemoryLabel>, std::less<>> m_labels;
    std::map<std::string, std::unique_ptr<MemoryScrollBar>, std::less<>> m_scrollBars;
    std::map<std::string, std::unique_ptr<MemoryButton>, std::less<>> m_buttons;
    std::map<std::string, std::unique_ptr<MemoryTimer>, std::less<>> m_timers;
    Window *m_owner = nullptr;
    bool m_loaded = true;
};
