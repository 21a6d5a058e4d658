#include "memorywindow.h"

#include "memoryruntime.h"

#include <algorithm>
#include <stdexcept>

class MemoryWindow::MemoryLabel final : public Label {
public:
    std::string caption() const override { return text; }
    void setCaption(const std::string &caption) override { text = caption; }
    void setToolTip(const std::string &tip) override { toolTip = tip; }
    std::string text;
    std::string toolTip;
};

class MemoryWindow::MemoryScrollBar final : public ScrollBar {
public:
    explicit MemoryScrollBar(MemoryRuntime &runtime, const ui::ControlDefinition &definition)
        : runtime(runtime), low(std::min(definition.rangeStart, definition.rangeEnd)),
          high(std::max(definition.rangeStart, definition.rangeEnd)), value(definition.position)
    {
    }
    int position() const override { return value; }
    void setPosition(int position) override
    {
        position = std::clamp(position, low, high);
        if (position == value)
            return;
        value = position;
        if (changed)
            runtime.run(changed); // nested inside the set, as a scroll bar does
    }
    void onChange(ui::Handler handler) override { changed = std::move(handler); }
    MemoryRuntime &runtime;
    int low;
    int high;
    int value;
    ui::Handler changed;
};

class MemoryWindow::MemoryButton final : public Button {
public:
    bool state() const override { return on; }
    void setState(bool state) override { on = state; }
    std::string caption() const override { return text; }
    void setCaption(const std::string &caption) override { text = caption; }
    void onClick(ui::Handler handler) override { clicked = std::move(handler); }
    bool on = false;
    std::string text;
    ui::Handler clicked;
};

class MemoryWindow::MemoryTimer final : public Timer {
public:
    bool enabled() const override { return on; }
    void setEnabled(bool enabled) override { on = enabled; }
    void onTimer(ui::Handler handler) override { fired = std::move(handler); }
    bool on = false;
    ui::Handler fired;
};

MemoryWindow::MemoryWindow(const ui::WindowDefinition &definition, MemoryRuntime &runtime)
    : m_runtime(runtime), m_name(definition.name)
{
    for (const ui::ControlDefinition &control : definition.controls) {
        switch (control.kind) {
        case ui::Kind::Label: {
            auto label = std::make_unique<MemoryLabel>();
            label->text = control.caption;
            label->toolTip = control.toolTip;
            m_labels.emplace(control.name, std::move(label));
            break;
        }
        case ui::Kind::ScrollBar:
            m_scrollBars.emplace(control.name, std::make_unique<MemoryScrollBar>(runtime, control));
            break;
        case ui::Kind::Button: {
            auto button = std::make_unique<MemoryButton>();
            for (const ui::SavedProperty &property : control.properties)
                if (property.key == "caption")
                    button->text = std::get<std::string>(property.value);
            m_buttons.emplace(control.name, std::move(button));
            break;
        }
        case ui::Kind::Timer: {
            auto timer = std::make_unique<MemoryTimer>();
            timer->on = control.enabled;
            m_timers.emplace(control.name, std::move(timer));
            break;
        }
        case ui::Kind::Frame:
            break;
        }
    }
}

MemoryWindow::~MemoryWindow() = default;

template <typename T> T &MemoryWindow::find(std::string_view name)
{
    auto search = [name](auto &controls) -> T * {
        const auto found = controls.find(name);
        return found == controls.end() ? nullptr : found->second.get();
    };
    T *control = nullptr;
    if constexpr (std::is_same_v<T, MemoryLabel>)
        control = search(m_labels);
    else if constexpr (std::is_same_v<T, MemoryScrollBar>)
        control = search(m_scrollBars);
    else if constexpr (std::is_same_v<T, MemoryButton>)
        control = search(m_buttons);
    else
        control = search(m_timers);
    if (!control)
        throw std::logic_error("the window has no such control: " + std::string(name));
    return *control;
}

ui::Window::Label &MemoryWindow::label(std::string_view name)
{
    return find<MemoryLabel>(name);
}

ui::Window::ScrollBar &MemoryWindow::scrollBar(std::string_view name)
{
    return find<MemoryScrollBar>(name);
}

ui::Window::Button &MemoryWindow::button(std::string_view name)
{
    return find<MemoryButton>(name);
}

ui::Window::Timer &MemoryWindow::timer(std::string_view name)
{
    return find<MemoryTimer>(name);
}

void MemoryWindow::show()
{
}

void MemoryWindow::showModal(Window &owner)
{
    m_owner = &owner;
}

void MemoryWindow::unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    m_owner = nullptr;
    for (auto &[name, timer] : m_timers)
        timer->on = false;
}

void MemoryWindow::click(std::string_view name)
{
    MemoryButton &button = find<MemoryButton>(name);
    button.on = !button.on; // flipped before the click is reported
    if (button.clicked)
        m_runtime.run(button.clicked);
}

void MemoryWindow::step(std::string_view name, int delta)
{
    MemoryScrollBar &bar = find<MemoryScrollBar>(name);
    bar.setPosition(bar.value + delta);
}

bool MemoryWindow::tick(std::string_view name)
{
    MemoryTimer &timer = find<MemoryTimer>(name);
    if (!timer.on || !m_loaded)
        return false;
    if (timer.fired)
        m_runtime.run(timer.fired);
    return true;
}

std::string MemoryWindow::toolTip(std::string_view name)
{
    return find<MemoryLabel>(name).toolTip;
}
