#include "win32window.h"

#include "accessible.h"
#include "button.h"
#include "colours.h"
#include "placement.h"
#include "ui/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

namespace ui::win32 {

namespace {

constexpr UINT WhenShown = WM_APP + 1;

} // namespace

Win32Window::Win32Window(const WindowDefinition &definition, WindowHost &host)
    : m_host(host), m_definition(definition), m_sizable(definition.sizable)
{
    m_style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    if (definition.sizable)
        m_style |= WS_THICKFRAME;
    if (definition.minimiseButton)
        m_style |= WS_MINIMIZEBOX;
    if (definition.maximiseButton)
        m_style |= WS_MAXIMIZEBOX;
    // Made at its size and in its place, centred with its frame on the work area: moving a
    // window after it was made costs a round trip to the X server under Wine.
    m_dpi = systemDpi();
    m_client = {pixels(definition.clientWidth), pixels(definition.clientHeight)};
    const SIZE outer = outerSize(m_client, m_style, WS_EX_CONTROLPARENT, m_dpi);
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const POINT at = centred(outer, area);
    m_window = CreateWindowExW(WS_EX_CONTROLPARENT, L"VeltraneWindow",
                               wide(definition.title).c_str(), m_style, at.x, at.y, outer.cx,
                               outer.cy, nullptr, nullptr, host.instance(), this);
    m_tooltips.emplace(m_window, host.instance());
    build(definition);
}

Win32Window::~Win32Window()
{
    // The tooltip control is the window's own and goes with it.
    if (m_owner && m_loaded)
        EnableWindow(m_owner, TRUE);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    DestroyWindow(m_window);
}

Win32Window *Win32Window::of(HWND window)
{
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return wcscmp(name, L"VeltraneWindow") == 0
               ? reinterpret_cast<Win32Window *>(GetWindowLongPtrW(window, GWLP_USERDATA))
               : nullptr;
}

LRESULT CALLBACK Win32Window::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = windowObject<Win32Window>(window, message, lParam);
    if (!self || !self->m_window)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

void Win32Window::addTip(HWND control, const std::wstring &text)
{
    m_tooltips->add(control, text);
}

void Win32Window::build(const WindowDefinition &definition)
{
    const HFONT windowFont = m_host.font(definition.font, m_dpi);
    SendMessageW(m_window, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont), FALSE);
    // Made in the order they stack, top first, which is the order Tab follows: the controls that
    // take the focus in their tab order, then the labels, then the frames under what they hold.
    // Nothing is moved afterwards: under Wine each move before the first show is a round trip.
    std::vector<const ControlDefinition *> stacked;
    for (const std::string &name : tabOrder(definition))
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
            auto timer =
                std::make_unique<TimerControl>(m_window, UINT_PTR(id), control.interval, m_host);
            m_timerIds.emplace(id++, timer.get());
            // Enabled from the moment the window is shown, which may come later than now.
            if (control.enabled)
                m_startOnShow.push_back(timer.get());
            m_timers.emplace(control.name, std::move(timer));
            continue;
        }
        case Kind::Frame:
            made = m_frames.emplace_back(std::make_unique<FrameControl>(control, place, *this))
                       ->control();
            break;
        case Kind::Label: {
            std::optional<COLORREF> colour;
            if (control.textColour)
                colour = m_host.colour(*control.textColour);
            auto label = std::make_unique<LabelControl>(control, place, colour, *this);
            made = label->control();
            m_labels.emplace(control.name, std::move(label));
            break;
        }
        case Kind::ScrollBar: {
            auto spinner = std::make_unique<SpinnerControl>(control, place, *this);
            made = spinner->control();
            m_spinners.emplace(control.name, std::move(spinner));
            break;
        }
        case Kind::Button: {
            auto button = std::make_unique<ButtonControl>(control, place, id++, *this);
            made = button->control();
            m_buttons.emplace(control.name, std::move(button));
            break;
        }
        }
        m_controls.emplace(control.name, made);
        SendMessageW(
            made, WM_SETFONT,
            reinterpret_cast<WPARAM>(control.font ? m_host.font(*control.font, m_dpi) : windowFont),
            FALSE);
        if (!control.toolTip.empty())
            m_tooltips->addLater(made, wide(control.toolTip));
    }
    // The window opens with the focus on the first control in the tab order.
    if (const std::vector<std::string> order = tabOrder(definition); !order.empty())
        m_focus = control(order.front());
}

COLORREF Win32Window::background() const
{
    return m_host.scheme().highContrast ? colorref(m_host.scheme().face)
                                        : m_host.colour(m_definition.background);
}

RECT Win32Window::focusArea() const
{
    for (const auto &[name, spinner] : m_spinners)
        if (spinner->control() == GetFocus()) {
            const Rect area = ui::focusArea(m_definition, name);
            return {pixels(area.left), pixels(area.top), pixels(area.left + area.width),
                    pixels(area.top + area.height)};
        }
    return {};
}

LRESULT Win32Window::answer(HWND control, WPARAM wParam, LPARAM lParam, Present present)
{
    std::shared_ptr<const Present> &kept = m_presented[control];
    if (!kept)
        kept = std::make_shared<const Present>(std::move(present));
    return answerGetObject(control, wParam, lParam, kept);
}

RECT Win32Window::placeOf(const ControlDefinition &control) const
{
    POINT origin{0, 0};
    if (!control.container.empty())
        origin = {pixels(ui::control(m_definition, control.container).twips.left),
                  pixels(ui::control(m_definition, control.container).twips.top)};
    const int left = origin.x + pixels(control.twips.left);
    const int top = origin.y + pixels(control.twips.top);
    return {left, top, left + pixels(control.twips.width), top + pixels(control.twips.height)};
}

void Win32Window::rescale(UINT dpi, const RECT &suggested)
{
    m_dpi = dpi;
    m_client = {pixels(m_definition.clientWidth), pixels(m_definition.clientHeight)};
    const HFONT windowFont = m_host.font(m_definition.font, m_dpi);
    SendMessageW(m_window, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont), FALSE);
    for (const ControlDefinition &definition : m_definition.controls) {
        const HWND made = control(definition.name);
        if (!made)
            continue; // a timer
        const RECT place = placeOf(definition);
        SetWindowPos(made, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(made, WM_SETFONT,
                     reinterpret_cast<WPARAM>(definition.font ? m_host.font(*definition.font, m_dpi)
                                                              : windowFont),
                     FALSE);
        if (definition.kind == Kind::Button)
            ui::win32::Button::of(made)->setDpi(m_dpi);
    }
    SetWindowPos(m_window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    setIcons();
    RedrawWindow(m_window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Win32Window::setIcons()
{
    // The system's sizes are for its own DPI: at another, drawn for that one, not stretched.
    const UINT system = systemDpi();
    for (const auto &[size, kind] : {std::pair(SM_CXSMICON, ICON_SMALL), {SM_CXICON, ICON_BIG}})
        SendMessageW(
            m_window, WM_SETICON, kind,
            reinterpret_cast<LPARAM>(m_host.picture(
                m_definition.icon.name, MulDiv(GetSystemMetrics(size), 96, int(system)), m_dpi)));
}

HWND Win32Window::control(std::string_view name) const
{
    const auto found = m_controls.find(name);
    return found == m_controls.end() ? nullptr : found->second;
}

Window::Label &Win32Window::label(std::string_view name)
{
    return lookup<Label>(m_labels, name);
}

Window::ScrollBar &Win32Window::scrollBar(std::string_view name)
{
    return lookup<ScrollBar>(m_spinners, name);
}

Window::Button &Win32Window::button(std::string_view name)
{
    return lookup<Button>(m_buttons, name);
}

Window::Timer &Win32Window::timer(std::string_view name)
{
    return lookup<Timer>(m_timers, name);
}

void Win32Window::show()
{
    m_main = true;
    // The tooltips' own window after the main window is on screen: under Wine each top-level
    // window costs tens of milliseconds.
    PostMessageW(m_window, WhenShown, 0, 0);
    ShowWindow(m_window, SW_SHOW);
    SetForegroundWindow(m_window);
    SetFocus(m_focus);
    startTimers();
}

void Win32Window::startTimers()
{
    for (TimerControl *timer : std::exchange(m_startOnShow, {}))
        timer->setEnabled(true);
}

void Win32Window::showModal(Window &owner)
{
    // Owned by the main window, which takes no input meanwhile; above every other window too,
    // and asking for the user's attention, until it is unloaded.
    if (auto *native = dynamic_cast<Win32Window *>(&owner))
        m_owner = native->handle();
    SetWindowLongPtrW(m_window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(m_owner));
    if (m_owner) {
        EnableWindow(m_owner, FALSE);
        // Where the user is looking: the owner's monitor, which need not be the primary one
        // the window was made on.
        centreOnMonitorOf(m_window, m_owner);
    }
    PostMessageW(m_window, WhenShown, 0, 0);
    claimForeground();
    SetFocus(m_focus);
    startTimers();
    if (roleOf(m_definition) == Role::Alert)
        announceAlert(m_window);
}

void Win32Window::claimForeground()
{
    SetWindowPos(m_window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(m_window);
    FLASHWINFO flash{sizeof flash, m_window, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

void Win32Window::keepInSight()
{
    // Each move costs a round trip under Wine: only when another window has come to the front.
    if (GetForegroundWindow() == m_window)
        return;
    if (IsIconic(m_window))
        ShowWindow(m_window, SW_RESTORE);
    claimForeground();
}

void Win32Window::unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    for (auto &[name, timer] : m_timers)
        timer->setEnabled(false);
    // The owner first, so that it is the window that comes to the front.
    if (m_owner)
        EnableWindow(m_owner, TRUE);
    ShowWindow(m_window, SW_HIDE);
    if (m_unloaded)
        m_host.run(m_unloaded);
    if (m_main)
        m_host.quit(0);
}

void Win32Window::ask(const Question &question, std::function<void(bool keep)> answered)
{
    m_question.ask(m_window, m_host.instance(), question,
                   [&](bool keep) { m_host.run([&] { answered(keep); }); });
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(m_window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, m_host.brush(background()));
        return 1;
    }
    case WM_CTLCOLORSTATIC: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        const auto *label = dynamic_cast<LabelControl *>(Control::of(HWND(lParam)));
        SetTextColor(dc, label ? label->colour(m_host.scheme()) : colorref(m_host.scheme().text));
        SetBkColor(dc, background());
        return reinterpret_cast<LRESULT>(m_host.brush(background()));
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // A scheme changed, high contrast turned on or off: every part drawn again in it.
        m_host.settingsChanged();
        RedrawWindow(m_window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
        break;
    case WM_VSCROLL:
    case WM_COMMAND:
        if (Control *child = Control::of(HWND(lParam)))
            child->notified(message, wParam);
        return 0;
    case WM_TIMER:
        if (const auto timer = m_timerIds.find(wParam); timer != m_timerIds.end())
            timer->second->ticked();
        return 0;
    case WM_ACTIVATE:
        // Back to the control that had the focus, as a dialog does.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focused = GetFocus();
            if (focused && IsChild(m_window, focused))
                m_focus = focused;
        } else if (m_focus) {
            SetFocus(m_focus);
        }
        return 0;
    case WM_GETOBJECT:
        return answer(m_window, wParam, lParam, [this] {
            return Presentation{roleOf(m_definition), wide(m_definition.title)};
        });
    case WM_DPICHANGED:
        rescale(HIWORD(wParam), *reinterpret_cast<const RECT *>(lParam));
        return 0;
    case WM_GETMINMAXINFO:
        if (m_sizable) { // any smaller, and controls would be cut off
            const SIZE outer = outerSize(m_client, m_style, WS_EX_CONTROLPARENT, m_dpi);
            reinterpret_cast<MINMAXINFO *>(lParam)->ptMinTrackSize = {outer.cx, outer.cy};
        }
        return 0;
    case WM_CLOSE:
        unload();
        return 0;
    case WhenShown: {
        // The icons and the tooltips once the window is on screen: each costs milliseconds under
        // Wine, and neither is wanted before.
        setIcons();
        m_tooltips->addWaiting();
        return 0;
    }
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

} // namespace ui::win32
