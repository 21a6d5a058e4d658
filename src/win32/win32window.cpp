#include "win32window.h"

#include "accessible.h"
#include "colours.h"
#include "placement.h"

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
    m_controls.emplace(definition, *this, host, *m_tooltips);
    m_focus = m_controls->first();
    SendMessageW(m_window, WM_SETFONT, reinterpret_cast<WPARAM>(host.font(definition.font, m_dpi)),
                 FALSE);
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

COLORREF Win32Window::background() const
{
    return m_host.scheme().highContrast ? colorref(m_host.scheme().face)
                                        : m_host.colour(m_definition.background);
}

LRESULT Win32Window::answer(HWND control, WPARAM wParam, LPARAM lParam, Present present)
{
    std::shared_ptr<const Present> &kept = m_presented[control];
    if (!kept)
        kept = std::make_shared<const Present>(std::move(present));
    return answerGetObject(control, wParam, lParam, kept);
}

void Win32Window::rescale(UINT dpi, const RECT &suggested)
{
    m_dpi = dpi;
    m_client = {pixels(m_definition.clientWidth), pixels(m_definition.clientHeight)};
    SendMessageW(m_window, WM_SETFONT,
                 reinterpret_cast<WPARAM>(m_host.font(m_definition.font, m_dpi)), FALSE);
    m_controls->rescale();
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

void Win32Window::show()
{
    m_main = true;
    // The tooltips' own window after the main window is on screen: under Wine each top-level
    // window costs tens of milliseconds.
    PostMessageW(m_window, WhenShown, 0, 0);
    ShowWindow(m_window, SW_SHOW);
    SetForegroundWindow(m_window);
    SetFocus(m_focus);
    m_controls->startTimers();
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
    m_controls->startTimers();
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
    m_controls->stopTimers();
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
        m_controls->ticked(wParam);
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
