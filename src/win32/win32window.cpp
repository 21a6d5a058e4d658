#include "win32window.h"

#include "accessible.h"
#include "button.h"
#include "ui/controls.h"
#include "ui/spinnerrange.h"
#include "ui/tickschedule.h"
#include "win32runtime.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

namespace ui::win32 {

namespace {

constexpr int TaskKeep = 100;
constexpr int TaskStop = 101;
constexpr UINT WhenShown = WM_APP + 1;

// Functions newer than some of the systems the program starts on, asked for by name: the DPI
// functions from Windows 10 1607 on, the task dialog from the common controls' version 6.
template <typename Function> Function from(const wchar_t *library, const char *name)
{
    const FARPROC found = GetProcAddress(GetModuleHandleW(library), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

template <typename Function> Function user32(const char *name)
{
    return from<Function>(L"user32.dll", name);
}

// The DPI a window opens at on the main screen, before it exists.
UINT systemDpi()
{
    static const auto forSystem = user32<UINT(WINAPI *)()>("GetDpiForSystem");
    if (forSystem)
        return forSystem();
    const HDC screen = GetDC(nullptr);
    const UINT dpi = UINT(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return dpi;
}

} // namespace

class Win32Window::LabelControl final : public Window::Label {
public:
    LabelControl(HWND label, const ControlDefinition &definition, std::optional<COLORREF> colour,
                 Win32Window &window)
        : m_label(label), m_caption(definition.caption), m_name(wide(definition.accessibleName)),
          m_colour(colour), m_window(window)
    {
    }
    std::string caption() const override { return m_caption; }
    void setCaption(const std::string &caption) override
    {
        // The countdown sets all three fields every second; most of them keep their text.
        if (caption == m_caption)
            return;
        m_caption = caption;
        SetWindowTextW(m_label, wide(caption).c_str());
    }
    void setDetail(const std::string &detail) override { m_window.addTip(m_label, wide(detail)); }
    // What a screen reader is told: named by its unit, or by what was last announced, or by
    // its text; a number is its value too.
    void announce(const std::string &words) override
    {
        m_name = wide(words);
        announceChange(m_label);
    }
    Presentation presentation() const
    {
        const std::wstring text = wide(m_caption);
        const bool number =
            !text.empty() && text.find_first_not_of(L"0123456789") == std::wstring::npos;
        return {Role::Text, m_name.empty() ? text : m_name, number ? text : std::wstring()};
    }
    // Its defined colour where readable; otherwise, and under high contrast, the scheme's.
    COLORREF colour(const Scheme &scheme) const
    {
        return colorref(m_colour ? textColour(rgb(*m_colour), scheme) : scheme.text);
    }

private:
    HWND m_label;
    std::string m_caption;
    std::wstring m_name;
    std::optional<COLORREF> m_colour;
    Win32Window &m_window;
};

// A spinner over its range (SpinnerRange): the control holds the position negated where the
// range's first end is the larger.
class Win32Window::ScrollBarControl final : public Window::ScrollBar {
public:
    ScrollBarControl(HWND bar, const ControlDefinition &definition, Win32Runtime &runtime)
        : m_bar(bar), m_range(SpinnerRange::of(definition)), m_small(definition.smallStep),
          m_large(definition.largeStep), m_runtime(runtime)
    {
        SCROLLINFO range{sizeof range, SIF_RANGE | SIF_POS | SIF_PAGE | SIF_DISABLENOSCROLL};
        range.nMin = m_range.minimum;
        range.nMax = m_range.maximum;
        range.nPos = m_range.held(definition.position);
        SetScrollInfo(bar, SB_CTL, &range, FALSE);
    }
    int position() const override { return m_range.position(GetScrollPos(m_bar, SB_CTL)); }
    void setPosition(int position) override { place(m_range.held(position)); }
    void onChange(Handler handler) override { m_changed = std::move(handler); }

    // A scroll bar's message: arrows, keys, a click on the track, the thumb let go.
    void scrolled(int request)
    {
        SCROLLINFO now{sizeof now, SIF_ALL};
        GetScrollInfo(m_bar, SB_CTL, &now);
        switch (request) {
        case SB_LINEUP:
            return place(now.nPos - m_small);
        case SB_LINEDOWN:
            return place(now.nPos + m_small);
        case SB_PAGEUP:
            return place(now.nPos - m_large);
        case SB_PAGEDOWN:
            return place(now.nPos + m_large);
        case SB_TOP:
            return place(now.nMin);
        case SB_BOTTOM:
            return place(now.nMax);
        case SB_THUMBPOSITION: // not while the thumb is dragged, only where it is let go
            return place(now.nTrackPos);
        }
    }

private:
    // Clamps to the range and raises the change event when the position moved.
    void place(int value)
    {
        SCROLLINFO range{sizeof range, SIF_RANGE};
        GetScrollInfo(m_bar, SB_CTL, &range);
        value = std::clamp(value, range.nMin, range.nMax);
        if (value == GetScrollPos(m_bar, SB_CTL))
            return;
        SetScrollPos(m_bar, SB_CTL, value, TRUE);
        if (m_changed)
            m_runtime.run(m_changed);
    }

    HWND m_bar;
    SpinnerRange m_range;
    int m_small;
    int m_large;
    Win32Runtime &m_runtime;
    Handler m_changed;
};

class Win32Window::ButtonControl final : public Window::Button {
public:
    ButtonControl(HWND button, Win32Runtime &runtime) : m_button(button), m_runtime(runtime) {}
    bool state() const override { return ui::win32::Button::of(m_button)->state(); }
    void setState(bool state) override { ui::win32::Button::of(m_button)->setState(state); }
    std::string caption() const override
    {
        return narrow(ui::win32::Button::of(m_button)->caption());
    }
    void setCaption(const std::string &caption) override
    {
        ui::win32::Button::of(m_button)->setCaption(wide(caption));
    }
    void onClick(Handler handler) override { m_clicked = std::move(handler); }
    void clicked()
    {
        if (m_clicked)
            m_runtime.run(m_clicked);
    }

private:
    HWND m_button;
    Win32Runtime &m_runtime;
    Handler m_clicked;
};

// Ticks on its schedule (TickSchedule), woken by a window timer set for each tick anew.
class Win32Window::TimerControl final : public Window::Timer {
public:
    TimerControl(HWND window, UINT_PTR id, int interval, Win32Runtime &runtime)
        : m_window(window), m_id(id), m_schedule(std::chrono::milliseconds(interval)),
          m_runtime(runtime)
    {
    }
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override
    {
        // Enabling a running timer leaves its rhythm alone.
        if (enabled == m_enabled)
            return;
        m_enabled = enabled;
        if (enabled)
            arm(m_schedule.start(now()));
        else
            KillTimer(m_window, m_id);
    }
    void onTimer(Handler handler) override { m_ticked = std::move(handler); }
    UINT_PTR id() const { return m_id; }
    void ticked()
    {
        if (!m_enabled)
            return;
        arm(m_schedule.next(now()));
        if (m_ticked)
            m_runtime.run(m_ticked);
    }

private:
    static TickSchedule::Time now()
    {
        LARGE_INTEGER count;
        LARGE_INTEGER frequency;
        QueryPerformanceCounter(&count);
        QueryPerformanceFrequency(&frequency);
        return std::chrono::nanoseconds(
            static_cast<long long>(double(count.QuadPart) * 1e9 / double(frequency.QuadPart)));
    }
    void arm(TickSchedule::Time at)
    {
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(at - now());
        SetTimer(m_window, m_id, UINT(std::max<long long>(1, wait.count())), nullptr);
    }

    HWND m_window;
    UINT_PTR m_id;
    TickSchedule m_schedule;
    Win32Runtime &m_runtime;
    Handler m_ticked;
    bool m_enabled = false;
};

Win32Window::Win32Window(const WindowDefinition &definition, Win32Runtime &runtime)
    : m_runtime(runtime), m_definition(definition), m_sizable(definition.sizable)
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
    const SIZE outer = outerSize();
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const POINT at = centred(outer, area);
    m_window = CreateWindowExW(WS_EX_CONTROLPARENT, L"VeltraneWindow",
                               wide(definition.title).c_str(), m_style, at.x, at.y, outer.cx,
                               outer.cy, nullptr, nullptr, runtime.instance(), this);
    build(definition);
}

POINT Win32Window::centred(SIZE outer, const RECT &area)
{
    return {area.left + (area.right - area.left - outer.cx) / 2,
            area.top + (area.bottom - area.top - outer.cy) / 2};
}

void Win32Window::centreOn(HWND owner)
{
    // Where the user is looking: the owner's monitor, which need not be the primary one the
    // window was made on. Moved only then, as a move costs a round trip under Wine.
    const HMONITOR monitor = MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor == MonitorFromWindow(m_window, MONITOR_DEFAULTTONEAREST) ||
        !GetMonitorInfoW(monitor, &info))
        return;
    RECT frame{};
    GetWindowRect(m_window, &frame);
    const POINT at = centred({frame.right - frame.left, frame.bottom - frame.top}, info.rcWork);
    SetWindowPos(m_window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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

SIZE Win32Window::outerSize() const
{
    RECT frame{0, 0, m_client.cx, m_client.cy};
    static const auto forDpi =
        user32<BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (forDpi)
        forDpi(&frame, m_style, FALSE, WS_EX_CONTROLPARENT, m_dpi);
    else
        AdjustWindowRectEx(&frame, m_style, FALSE, WS_EX_CONTROLPARENT);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void Win32Window::addTip(HWND control, const std::wstring &text)
{
    // Made on first use: a window with no tooltips, like the warning, opens faster without.
    if (!m_tips)
        m_tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr,
                                 m_runtime.instance(), nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t *>(text.c_str()); // copied by the control
    if (!SendMessageW(m_tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
        SendMessageW(m_tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32Window::build(const WindowDefinition &definition)
{
    const HFONT windowFont = m_runtime.font(definition.font, m_dpi);
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
        const int left = place.left;
        const int top = place.top;
        const int width = place.right - place.left;
        const int height = place.bottom - place.top;
        const DWORD shown = (control.visible ? WS_VISIBLE : 0) | WS_CHILD | WS_CLIPSIBLINGS;
        const std::wstring caption = wide(control.caption);
        HWND made = nullptr;
        switch (control.kind) {
        case Kind::Timer: {
            auto timer = std::make_unique<TimerControl>(m_window, UINT_PTR(id++), control.interval,
                                                        m_runtime);
            // Enabled from the moment the window is shown, which may come later than now.
            if (control.enabled)
                m_startOnShow.push_back(timer.get());
            m_timers.emplace(control.name, std::move(timer));
            continue;
        }
        case Kind::Frame:
            made = CreateWindowExW(0, L"BUTTON", caption.c_str(), shown | BS_GROUPBOX, left, top,
                                   width, height, m_window, nullptr, m_runtime.instance(), nullptr);
            SetWindowSubclass(made, frameProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
            break;
        case Kind::Label: {
            const DWORD alignment = control.alignment == Alignment::Centre  ? SS_CENTER
                                    : control.alignment == Alignment::Right ? SS_RIGHT
                                                                            : SS_LEFT;
            // SS_NOTIFY: a label must see the mouse for its tooltip. SS_CENTERIMAGE centres its
            // one line of text in its height: drawn from the top, a tall face's digits would lose
            // their bottom rows in a field just their size.
            made = CreateWindowExW(
                0, L"STATIC", caption.c_str(),
                shown | alignment | SS_NOTIFY | SS_NOPREFIX | SS_ENDELLIPSIS | SS_CENTERIMAGE, left,
                top, width, height, m_window, nullptr, m_runtime.instance(), nullptr);
            std::optional<COLORREF> colour;
            if (control.textColour)
                colour = m_runtime.colour(*control.textColour);
            m_labels.emplace(control.name,
                             std::make_unique<LabelControl>(made, control, colour, *this));
            SetWindowSubclass(made, labelProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
            break;
        }
        case Kind::ScrollBar:
            made =
                CreateWindowExW(0, L"SCROLLBAR", nullptr, shown | WS_TABSTOP | SBS_VERT, left, top,
                                width, height, m_window, nullptr, m_runtime.instance(), nullptr);
            m_scrollBars.emplace(control.name,
                                 std::make_unique<ScrollBarControl>(made, control, m_runtime));
            SetWindowSubclass(made, spinnerProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
            break;
        case Kind::Button:
            made = ui::win32::Button::create(
                m_window, id++, RECT{left, top, left + width, top + height},
                ButtonProperties::fromSaved(control.properties), control.toggle, m_runtime, m_dpi);
            m_buttons.emplace(control.name, std::make_unique<ButtonControl>(made, m_runtime));
            break;
        }
        m_controls.emplace(control.name, made);
        SendMessageW(made, WM_SETFONT,
                     reinterpret_cast<WPARAM>(control.font ? m_runtime.font(*control.font, m_dpi)
                                                           : windowFont),
                     FALSE);
        if (!control.toolTip.empty())
            m_pendingTips.emplace_back(made, wide(control.toolTip));
    }
    // The window opens with the focus on the first control in the tab order.
    if (const std::vector<std::string> order = tabOrder(definition); !order.empty())
        m_focus = control(order.front());
}

COLORREF Win32Window::background() const
{
    return m_runtime.scheme().highContrast ? colorref(m_runtime.scheme().face)
                                           : m_runtime.colour(m_definition.background);
}

RECT Win32Window::focusArea() const
{
    for (const auto &[name, bar] : m_scrollBars)
        if (control(name) == GetFocus()) {
            const Rect area = ui::focusArea(m_definition, name);
            return {pixels(area.left), pixels(area.top), pixels(area.left + area.width),
                    pixels(area.top + area.height)};
        }
    return {};
}

LRESULT CALLBACK Win32Window::frameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR self)
{
    const LRESULT result = DefSubclassProc(frame, message, wParam, lParam);
    if (message == WM_PAINT || message == WM_PRINTCLIENT) {
        const RECT area = reinterpret_cast<Win32Window *>(self)->focusArea();
        if (!IsRectEmpty(&area)) {
            const HDC dc = message == WM_PAINT ? GetDC(frame) : reinterpret_cast<HDC>(wParam);
            DrawFocusRect(dc, &area);
            if (message == WM_PAINT)
                ReleaseDC(frame, dc);
        }
    }
    return result;
}

LRESULT CALLBACK Win32Window::spinnerProcedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR, DWORD_PTR self)
{
    auto &window = *reinterpret_cast<Win32Window *>(self);
    // A spin button named by its unit, its value the number its field shows, not the scroll
    // bar's mirrored percentage.
    if (message == WM_GETOBJECT)
        for (const auto &[name, spinner] : window.m_scrollBars)
            if (window.control(name) == bar)
                return window.answer(bar, wParam, lParam, [&, spinner = spinner.get()] {
                    return Presentation{
                        Role::SpinButton,
                        wide(accessibleName(ui::control(window.m_definition, name))),
                        std::to_wstring(spinner->position())};
                });
    const LRESULT result = DefSubclassProc(bar, message, wParam, lParam);
    // The frame's focus comes and goes with the spinner's.
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS)
        RedrawWindow(GetParent(bar), nullptr, nullptr,
                     RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
    return result;
}

LRESULT CALLBACK Win32Window::labelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR self)
{
    if (message == WM_GETOBJECT)
        for (const auto &[name, control] : reinterpret_cast<Win32Window *>(self)->m_labels)
            if (reinterpret_cast<Win32Window *>(self)->Win32Window::control(name) == label)
                return reinterpret_cast<Win32Window *>(self)->answer(
                    label, wParam, lParam,
                    [control = control.get()] { return control->presentation(); });
    return DefSubclassProc(label, message, wParam, lParam);
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
    const HFONT windowFont = m_runtime.font(m_definition.font, m_dpi);
    SendMessageW(m_window, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont), FALSE);
    for (const ControlDefinition &definition : m_definition.controls) {
        const HWND made = control(definition.name);
        if (!made)
            continue; // a timer
        const RECT place = placeOf(definition);
        SetWindowPos(made, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(made, WM_SETFONT,
                     reinterpret_cast<WPARAM>(
                         definition.font ? m_runtime.font(*definition.font, m_dpi) : windowFont),
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
            reinterpret_cast<LPARAM>(m_runtime.picture(
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
    return lookup<ScrollBar>(m_scrollBars, name);
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
        centreOn(m_owner);
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
        m_runtime.run(m_unloaded);
    if (m_main)
        m_runtime.quit(0);
}

void Win32Window::ask(const Question &question, std::function<void(bool keep)> answered)
{
    withdrawQuestion();
    const std::wstring text = wide(question.text);
    const std::wstring advice = wide(question.advice);
    const std::wstring keep = wide(question.keep);
    const std::wstring stop = wide(question.stop);
    const TASKDIALOG_BUTTON buttons[] = {{TaskKeep, keep.c_str()}, {TaskStop, stop.c_str()}};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = m_window;
    config.hInstance = m_runtime.instance();
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION; // Esc keeps things as they are
    config.pszWindowTitle = L"Veltrane";
    config.pszMainIcon = TD_WARNING_ICON;
    config.pszMainInstruction = text.c_str();
    config.pszContent = advice.c_str();
    config.cButtons = 2;
    config.pButtons = buttons;
    config.nDefaultButton = TaskKeep;
    config.lpCallbackData = reinterpret_cast<LONG_PTR>(this);
    config.pfCallback = [](HWND dialog, UINT notification, WPARAM, LPARAM, LONG_PTR self) {
        if (notification == TDN_CREATED || notification == TDN_DESTROYED)
            reinterpret_cast<Win32Window *>(self)->m_question =
                notification == TDN_CREATED ? dialog : nullptr;
        return S_OK;
    };
    // Modal over this window only; the timers go on ticking meanwhile.
    int chosen = TaskKeep;
    static const auto taskDialog =
        from<decltype(&TaskDialogIndirect)>(L"comctl32.dll", "TaskDialogIndirect");
    if (!taskDialog || FAILED(taskDialog(&config, &chosen, nullptr, nullptr)))
        chosen = MessageBoxW(m_window, (text + L"\n\n" + advice).c_str(), L"Veltrane",
                             MB_OKCANCEL | MB_ICONWARNING) == IDCANCEL
                     ? TaskStop
                     : TaskKeep;
    if (!std::exchange(m_withdrawn, false))
        m_runtime.run([&] { answered(chosen != TaskStop); });
}

void Win32Window::withdrawQuestion()
{
    if (!m_question)
        return;
    m_withdrawn = true;
    SendMessageW(m_question, TDM_CLICK_BUTTON, IDCANCEL, 0);
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(m_window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, m_runtime.brush(background()));
        return 1;
    }
    case WM_CTLCOLORSTATIC: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        COLORREF text = colorref(m_runtime.scheme().text);
        for (const auto &[name, label] : m_labels)
            if (control(name) == reinterpret_cast<HWND>(lParam))
                text = label->colour(m_runtime.scheme());
        SetTextColor(dc, text);
        SetBkColor(dc, background());
        return reinterpret_cast<LRESULT>(m_runtime.brush(background()));
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // A scheme changed, high contrast turned on or off: every part drawn again in it.
        m_runtime.settingsChanged();
        RedrawWindow(m_window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
        break;
    case WM_VSCROLL:
        for (const auto &[name, bar] : m_scrollBars)
            if (control(name) == reinterpret_cast<HWND>(lParam))
                bar->scrolled(LOWORD(wParam));
        return 0;
    case WM_COMMAND:
        // Enter and Esc arrive as IDOK and IDCANCEL from the dialog keys: they mean nothing.
        if (HIWORD(wParam) == BN_CLICKED && lParam)
            for (const auto &[name, button] : m_buttons)
                if (control(name) == reinterpret_cast<HWND>(lParam))
                    button->clicked();
        return 0;
    case WM_TIMER:
        for (const auto &[name, timer] : m_timers)
            if (timer->id() == wParam)
                timer->ticked();
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
            const SIZE outer = outerSize();
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
        for (const auto &[control, text] : m_pendingTips)
            addTip(control, text);
        m_pendingTips.clear();
        return 0;
    }
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

} // namespace ui::win32
