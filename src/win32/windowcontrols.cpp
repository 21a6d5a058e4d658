#include "windowcontrols.h"

#include "button.h"
#include "ui/controls.h"
#include "win32window.h"

#include <optional>

namespace ui::win32 {

WindowControls::WindowControls(const WindowDefinition &definition, Win32Window &window,
                               WindowHost &host, Tooltips &tips)
    : m_definition(definition), m_window(window), m_host(host)
{
    // Made in the order they stack, top first, which is the order Tab follows: the controls that
    // take the focus in their tab order, then the labels, then the frames under what they hold.
    // Nothing is moved afterwards: under Wine each move before the first show is a round trip.
    const std::vector<std::string> order = tabOrder(definition);
    std::vector<const ControlDefinition *> stacked;
    for (const std::string &name : order)
        stacked.push_back(&ui::control(definition, name));
    for (const bool frames : {false, true})
        for (const ControlDefinition &control : definition.controls)
            if ((control.kind == Kind::Frame) == frames && control.kind != Kind::Button &&
                control.kind != Kind::ScrollBar)
                stacked.push_back(&control);
    int id = 100;
    for (const ControlDefinition *next : stacked) {
        const ControlDefinition &control = *next;
        const RECT place = placeOf(control);
        HWND made = nullptr;
        switch (control.kind) {
        case Kind::Timer: {
            auto timer = std::make_unique<TimerControl>(window.handle(), UINT_PTR(id),
                                                        control.interval, host);
            m_timerIds.emplace(id++, timer.get());
            // Enabled from the moment the window is shown, which may come later than now.
            if (control.enabled)
                m_startOnShow.push_back(timer.get());
            m_timers.emplace(control.name, std::move(timer));
            continue;
        }
        case Kind::Frame:
            made = m_frames.emplace_back(std::make_unique<FrameControl>(control, place, window))
                       ->control();
            break;
        case Kind::Label: {
            std::optional<COLORREF> colour;
            if (control.textColour)
                colour = host.colour(*control.textColour);
            auto label = std::make_unique<LabelControl>(control, place, colour, window);
            made = label->control();
            m_labels.emplace(control.name, std::move(label));
            break;
        }
        case Kind::ScrollBar: {
            auto spinner = std::make_unique<SpinnerControl>(control, place, window);
            made = spinner->control();
            m_spinners.emplace(control.name, std::move(spinner));
            break;
        }
        case Kind::Button: {
            auto button = std::make_unique<ButtonControl>(control, place, id++, window);
            made = button->control();
            m_buttons.emplace(control.name, std::move(button));
            break;
        }
        }
        m_controls.emplace(control.name, made);
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(control)), FALSE);
        if (!control.toolTip.empty())
            tips.addLater(made, wide(control.toolTip));
    }
    if (!order.empty())
        m_first = find(order.front());
}

HWND WindowControls::find(std::string_view name) const
{
    const auto found = m_controls.find(name);
    return found == m_controls.end() ? nullptr : found->second;
}

Window::Label &WindowControls::label(std::string_view name)
{
    return lookup<Window::Label>(m_labels, name);
}

Window::ScrollBar &WindowControls::scrollBar(std::string_view name)
{
    return lookup<Window::ScrollBar>(m_spinners, name);
}

Window::Button &WindowControls::button(std::string_view name)
{
    return lookup<Window::Button>(m_buttons, name);
}

Window::Timer &WindowControls::timer(std::string_view name)
{
    return lookup<Window::Timer>(m_timers, name);
}

RECT WindowControls::focusArea() const
{
    for (const auto &[name, spinner] : m_spinners)
        if (spinner->control() == GetFocus()) {
            const Rect area = ui::focusArea(m_definition, name);
            return {pixels(area.left), pixels(area.top), pixels(area.left + area.width),
                    pixels(area.top + area.height)};
        }
    return {};
}

void WindowControls::startTimers()
{
    for (TimerControl *timer : std::exchange(m_startOnShow, {}))
        timer->setEnabled(true);
}

void WindowControls::stopTimers()
{
    for (auto &[name, timer] : m_timers)
        timer->setEnabled(false);
}

void WindowControls::ticked(UINT_PTR id)
{
    if (const auto timer = m_timerIds.find(id); timer != m_timerIds.end())
        timer->second->ticked();
}

void WindowControls::rescale()
{
    for (const ControlDefinition &definition : m_definition.controls) {
        const HWND made = find(definition.name);
        if (!made)
            continue; // a timer
        const RECT place = placeOf(definition);
        SetWindowPos(made, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(definition)), FALSE);
        if (definition.kind == Kind::Button)
            Button::of(made)->setDpi(m_window.dpi());
    }
}

RECT WindowControls::placeOf(const ControlDefinition &control) const
{
    POINT origin{0, 0};
    if (!control.container.empty()) {
        const Rect &container = ui::control(m_definition, control.container).twips;
        origin = {pixels(container.left), pixels(container.top)};
    }
    const int left = origin.x + pixels(control.twips.left);
    const int top = origin.y + pixels(control.twips.top);
    return {left, top, left + pixels(control.twips.width), top + pixels(control.twips.height)};
}

int WindowControls::pixels(int twips) const
{
    return MulDiv(twips, int(m_window.dpi()), 1440);
}

HFONT WindowControls::fontOf(const ControlDefinition &control) const
{
    return m_host.font(control.font ? *control.font : m_definition.font, m_window.dpi());
}

} // namespace ui::win32
