// The native runtime under Wine, on an X server: the windows as built from their definitions,
// and driven with the messages a user's mouse and keys would send.
#include "win32/win32runtime.h"
#include "check.h"
#include "confirm/shutdownform.h"
#include "fakeroad.h"
#include "poweroff/ntroad.h"
#include "simulatedwindows.h"
#include "timer/mainform.h"
#include "win32/instance.h"
#include "win32/win32window.h"

#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

namespace {

using ui::win32::Win32Window;

struct Program {
    Program() : form(runtime, road) { form.window().show(); }
    Win32Window &main() { return dynamic_cast<Win32Window &>(form.window()); }
    Win32Window *warning()
    {
        auto *shown = form.shutDownForm();
        return shown && shown->isLoaded() ? dynamic_cast<Win32Window *>(shown->window()) : nullptr;
    }
    std::string text(const char *field) { return main().label(field).caption(); }
    std::string time()
    {
        return text("lblQTimerHour") + ":" + text("lblQTimerMinute") + ":" +
               text("lblQTimerSecond");
    }
    // A key or a click as the user's would come: posted, then handled by the loop.
    void key(HWND to, WPARAM key)
    {
        PostMessageW(to, WM_KEYDOWN, key, 1);
        PostMessageW(to, WM_KEYUP, key, 0xC0000001);
        runtime.processMessages();
    }
    void click(HWND button)
    {
        PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        runtime.processMessages();
    }
    std::string focused()
    {
        for (const char *name :
             {"cmdStartQuickTimer", "MyButton2", "scrollHours", "scrollMinutes", "scrollSeconds"})
            if (GetFocus() == main().control(name))
                return name;
        return "(elsewhere)";
    }

    ui::win32::Win32Runtime runtime{GetModuleHandleW(nullptr)};
    FakeRoad road;
    timer::MainForm form;
};

// How a control draws itself, read back pixel by pixel.
struct Drawn {
    explicit Drawn(HWND control)
    {
        GetClientRect(control, &area);
        const HDC screen = GetDC(control);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, area.right, area.bottom);
        ReleaseDC(control, screen);
        old = SelectObject(dc, bitmap);
        SendMessageW(control, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT | PRF_ERASEBKGND);
    }
    ~Drawn()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
    // Whole digits: ink inside, none on the top or bottom row where a glyph would be cut off.
    bool whole(COLORREF background) const
    {
        int inked = 0;
        bool cut = false;
        for (int y = 0; y < area.bottom; ++y)
            for (int x = 0; x < area.right; ++x)
                if (at(x, y) != background) {
                    ++inked;
                    cut = cut || y == 0 || y == area.bottom - 1;
                }
        return inked > 10 && !cut;
    }

    RECT area{};
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

// The box's child windows: its words and its buttons, by their text.
HWND childWithText(HWND box, const std::wstring &text)
{
    std::pair<const std::wstring *, HWND> search{&text, nullptr};
    EnumChildWindows(
        box,
        [](HWND child, LPARAM found) {
            auto &[wanted, match] =
                *reinterpret_cast<std::pair<const std::wstring *, HWND> *>(found);
            wchar_t words[256] = {};
            GetWindowTextW(child, words, 256);
            if (*wanted == words)
                match = child;
            return match ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// What a screen reader reads of a window: "role|name|value|pressed".
std::string heard(HWND window)
{
    IAccessible *object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void **>(&object))))
        return "(nothing)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{}, state{};
    BSTR name = nullptr, value = nullptr;
    object->get_accRole(self, &role);
    object->get_accState(self, &state);
    object->get_accName(self, &name);
    object->get_accValue(self, &value);
    const auto text = [](BSTR words) { return words ? ui::win32::narrow(words) : std::string(); };
    const std::string said = std::to_string(role.lVal) + "|" + text(name) + "|" + text(value) +
                             ((state.lVal & STATE_SYSTEM_PRESSED) ? "|pressed" : "");
    SysFreeString(name);
    SysFreeString(value);
    object->Release();
    return said;
}

// The events screen readers hear from this process: event and window.
std::vector<std::pair<DWORD, HWND>> &events()
{
    static std::vector<std::pair<DWORD, HWND>> seen;
    return seen;
}

// Where a button's picture or caption comes within a pixel of its focus rectangle, found where
// focus changes what is drawn: "" where nowhere.
std::string nearFocus(HWND button, HWND elsewhere)
{
    SetFocus(elsewhere);
    const Drawn without(button);
    SetFocus(button);
    const Drawn with(button);
    const int w = with.area.right, h = with.area.bottom;
    int border = 0;
    while (border < w / 2 && with.at(border, h / 2) == with.at(0, 0))
        ++border;
    // A focused face may have a colour of its own.
    const COLORREF face = without.at(border, h / 2), focusedFace = with.at(border, h / 2);
    RECT frame{w, h, 0, 0};
    for (int y = border; y < h - border; ++y)
        for (int x = border; x < w - border; ++x)
            if (with.at(x, y) != without.at(x, y) && with.at(x, y) != focusedFace)
                frame = {std::min(frame.left, LONG(x)), std::min(frame.top, LONG(y)),
                         std::max(frame.right, LONG(x)), std::max(frame.bottom, LONG(y))};
    for (int y = border; y < h - border; ++y)
        for (int x = border; x < w - border; ++x)
            if (without.at(x, y) != face && (x <= frame.left + 1 || x >= frame.right - 1 ||
                                             y <= frame.top + 1 || y >= frame.bottom - 1))
                return "drawn at " + std::to_string(x) + ", " + std::to_string(y) +
                       " by its focus at " + std::to_string(frame.left) + ", " +
                       std::to_string(frame.top);
    return {};
}

RECT placed(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

} // namespace

int main()
{
    // The running one's door for later starts: a message without its data is refused, and a
    // request while nothing serves (starting, or closing) is told that there is no answer.
    {
        ui::win32::Instance instance(GetModuleHandleW(nullptr));
        check(instance.claim() == app::Claim::Owned, "the first start owns the session");
        const HWND door = FindWindowW(L"VeltraneInstance", nullptr);
        check(SendMessageW(door, WM_COPYDATA, 0, 0) == 1 + LRESULT(app::Answer::NotUnderstood),
              "a WM_COPYDATA without its data is refused");
        check(ui::win32::Instance::ask(app::Request{}) == app::Answer::NoAnswer,
              "no answer while nothing serves");
        instance.serve([](const app::Request &) { return app::Answer::Done; },
                       [] {
                           return app::Status{app::Status::State::Warning, 12, true};
                       });
        check(ui::win32::Instance::ask(app::Request{}) == app::Answer::Done, "served, answered");
        const auto status = ui::win32::Instance::askStatus();
        check(status && std::get<app::Status>(*status) ==
                            app::Status{app::Status::State::Warning, 12, true},
              "the status told as it is");
    }
    Program program;
    program.runtime.processMessages();
    RECT client;
    GetClientRect(program.main().handle(), &client);
    check(client.right == 292 && client.bottom == 200, "the main window's client area at 96 dpi");

    const HWND tips = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    check(tips && SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0) == 5,
          "five tooltips: the three fields and the two buttons");

    // The digits whole in their fields, at 100 % and, moved to a screen at 150 %, there too,
    // with every control and the window itself one and a half times the size and distance.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const char *const fields[] = {"lblQTimerHour", "lblQTimerMinute", "lblQTimerSecond"};
    for (const char *field : fields)
        check(Drawn(program.main().control(field)).whole(face),
              std::string(field) + ": whole digits at 100 %");
    const HWND toggle = program.main().control("cmdStartQuickTimer");
    const HWND cancel = program.main().control("MyButton2");
    for (const auto &[button, elsewhere] : {std::pair(toggle, cancel), {cancel, toggle}})
        check(nearFocus(button, elsewhere).empty(),
              "at 100 %, clear of its focus: " + nearFocus(button, elsewhere));
    std::vector<RECT> before;
    for (const char *name :
         {"cmdStartQuickTimer", "lblQTimerHour", "scrollSeconds", "fraQuickTimer"})
        before.push_back(placed(program.main().control(name)));
    RECT frame;
    GetWindowRect(program.main().handle(), &frame);
    RECT suggested{frame.left, frame.top, frame.left + (frame.right - frame.left) * 3 / 2,
                   frame.top + (frame.bottom - frame.top) * 3 / 2};
    SendMessageW(program.main().handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    bool scaled = true;
    int i = 0;
    for (const char *name :
         {"cmdStartQuickTimer", "lblQTimerHour", "scrollSeconds", "fraQuickTimer"}) {
        const RECT now = placed(program.main().control(name));
        const RECT was = before[i++];
        for (const auto &[a, b] : {std::pair(now.left, was.left),
                                   {now.top, was.top},
                                   {now.right, was.right},
                                   {now.bottom, was.bottom}})
            scaled = scaled && std::abs(a - b * 3 / 2) <= 1;
    }
    check(scaled, "at 144 dpi every control one and a half times as far and as large");
    ICONINFO small{};
    GetIconInfo(
        reinterpret_cast<HICON>(SendMessageW(program.main().handle(), WM_GETICON, ICON_SMALL, 0)),
        &small);
    BITMAP drawn{};
    GetObjectW(small.hbmColor, sizeof drawn, &drawn);
    DeleteObject(small.hbmColor);
    DeleteObject(small.hbmMask);
    check(drawn.bmWidth == 24,
          "its small icon drawn for 144 dpi: " + std::to_string(drawn.bmWidth));
    for (const char *field : fields)
        check(Drawn(program.main().control(field)).whole(face),
              std::string(field) + ": whole digits at 150 %");
    for (const auto &[button, elsewhere] : {std::pair(toggle, cancel), {cancel, toggle}})
        check(nearFocus(button, elsewhere).empty(),
              "at 150 %, clear of its focus: " + nearFocus(button, elsewhere));
    SendMessageW(program.main().handle(), WM_DPICHANGED, MAKEWPARAM(96, 96),
                 reinterpret_cast<LPARAM>(&frame));

    // A focused spinner shows its focus around itself and its field: the frame draws it, two
    // pixels above the spinner, and takes it away again.
    const auto rowAbove = [&] {
        const Drawn frame(program.main().control("fraQuickTimer"));
        const RECT spinner = placed(program.main().control("scrollMinutes"));
        const RECT inFrame = placed(program.main().control("fraQuickTimer"));
        std::vector<COLORREF> row;
        for (int x = spinner.left - inFrame.left; x < spinner.right - inFrame.left; ++x)
            row.push_back(frame.at(x, spinner.top - inFrame.top - 2));
        return row;
    };
    const std::vector<COLORREF> unfocused = rowAbove();
    SetFocus(program.main().control("scrollMinutes"));
    const bool shown = rowAbove() != unfocused;
    SetFocus(program.main().control("cmdStartQuickTimer"));
    check(shown && rowAbove() == unfocused, "a focused spinner shows its focus, and only then");

    // Real Tab presses through the dialog keys; the frame and the labels never take the focus.
    std::string visited = program.focused();
    for (int i = 0; i < 5; ++i) {
        program.key(GetFocus(), VK_TAB);
        visited += " " + program.focused();
    }
    check(visited == "cmdStartQuickTimer MyButton2 scrollHours scrollMinutes scrollSeconds "
                     "cmdStartQuickTimer",
          "Tab visits " + visited);

    // The spinners: the upper arrow raises, wraps at both ends, keys move it; each its field.
    const HWND hours = program.main().control("scrollHours");
    const HWND window = program.main().handle();
    SendMessageW(window, WM_VSCROLL, SB_LINEUP, LPARAM(hours));
    check(program.time() == "01:00:00", "the upper arrow raises the hours: " + program.time());
    SendMessageW(window, WM_VSCROLL, SB_LINEDOWN, LPARAM(hours));
    SendMessageW(window, WM_VSCROLL, SB_LINEDOWN, LPARAM(hours));
    check(program.time() == "23:00:00", "under 0 it wraps to 23: " + program.time());
    program.key(hours, VK_UP);
    check(program.time() == "00:00:00", "Up over 23 wraps to 0: " + program.time());
    program.key(program.main().control("scrollSeconds"), VK_END);
    check(program.time() == "00:00:59", "End wraps the seconds to 59: " + program.time());

    // The toggle: its state has flipped when the click is told; Space clicks, Enter does not.
    program.click(toggle);
    check(program.main().button("cmdStartQuickTimer").caption() == "Timer On",
          "a click starts the countdown");
    program.key(toggle, VK_RETURN);
    check(program.main().timer("tmrQuickTimer").enabled(), "Enter does not click");
    program.key(toggle, VK_SPACE);
    check(!program.main().timer("tmrQuickTimer").enabled(), "Space clicks");

    // A refusal foreseen at the start is told in a box over the main window; when the warning
    // opens the box is gone, and the warning says it instead: nothing covers its Cancel.
    program.main().label("lblQTimerSecond").setCaption("00");
    program.road.readiness = {false, "Not here.", "not here", "Some advice.", ""};
    static Program *running = &program;
    static bool boxed = false;
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        boxed = IsWindowVisible(FindWindowW(L"#32770", L"Veltrane"));
        running->form.tmrQuickTimer_Timer();
    });
    program.click(toggle); // returns once the box is gone
    check(boxed && program.warning() && !FindWindowW(L"#32770", L"Veltrane") &&
              program.warning()->label("lblStatus").caption() ==
                  "Turning off in 30 seconds may fail: not here",
          "the box at the start gives way to the warning, which says it");
    program.click(program.warning()->control("cmdCancel"));
    program.road.readiness = {};

    // A dark scheme: what the windows define that would not stand out gives way to the scheme,
    // on the pixels: the digits 4.5 : 1 from their field, a button's face 4.5 : 1 from its
    // caption and its border 3 : 1 from the face.
    {
        const int parts[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOWTEXT};
        COLORREF was[3];
        const COLORREF dark[] = {RGB(20, 20, 24), RGB(240, 240, 240), RGB(240, 240, 240)};
        for (int i = 0; i < 3; ++i)
            was[i] = GetSysColor(parts[i]);
        SetSysColors(3, parts, dark);
        program.runtime.processMessages();
        const Drawn digits(program.main().control("lblQTimerMinute"));
        double strongest = 0;
        for (int y = 0; y < digits.area.bottom; ++y)
            for (int x = 0; x < digits.area.right; ++x)
                strongest = std::max(strongest, contrast(ui::win32::rgb(digits.at(x, y)),
                                                         ui::win32::rgb(digits.at(0, 0))));
        const HWND reset = program.main().control("MyButton2");
        SendMessageW(reset, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); // the lavender face
        const Drawn button(reset);
        const ui::Rgb face = ui::win32::rgb(button.at(2, 20));
        check(strongest >= ui::TextContrast &&
                  contrast(face, ui::win32::rgb(dark[1])) >= ui::TextContrast &&
                  contrast(ui::win32::rgb(button.at(0, 0)), face) >= ui::BorderContrast,
              "readable on a dark scheme");
        ReleaseCapture();
        SendMessageW(reset, WM_LBUTTONUP, 0, MAKELPARAM(-5, -5)); // let go outside: no click
        SetSysColors(3, parts, was);
        program.runtime.processMessages();
    }

    // An account without the shutdown privilege: the box at the start says so, and a click on
    // its "Stop" stops the countdown, on its "Keep counting" keeps it.
    for (const wchar_t *answer : {L"Stop", L"Keep counting"}) {
        SimulatedWindows windows;
        windows.shutdownPrivilege = false;
        poweroff::NtRoad road(windows);
        timer::MainForm form(program.runtime, road);
        form.window().show();
        form.ShowQuickTimerSeconds(300); // long enough to outlast Wine making the box
        static const wchar_t *pressing = nullptr;
        static bool told = false;
        pressing = answer;
        SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR timer, DWORD) {
            KillTimer(nullptr, timer);
            const HWND box = FindWindowW(L"#32770", L"Veltrane");
            told = childWithText(box, L"This account may not turn the computer off.");
            // The button the user sees, pressed as the dialog presses its own.
            SendMessageW(box, TDM_CLICK_BUTTON, GetDlgCtrlID(childWithText(box, pressing)), 0);
        });
        program.click(dynamic_cast<Win32Window &>(form.window()).control("cmdStartQuickTimer"));
        check(told && form.window().timer("tmrQuickTimer").enabled() == (answer[0] == L'K'),
              "the box for an account without the privilege, answered: " +
                  ui::win32::narrow(answer));
        form.MyButton2_Click();
    }

    // What a screen reader reads while counting: the toggle pressed, the spinners as spin
    // buttons named by their unit with their field's number, the fields by their unit.
    program.click(toggle);
    SendMessageW(window, WM_VSCROLL, SB_LINEUP, LPARAM(hours)); // 01:00:59
    const std::string pushButton = std::to_string(ROLE_SYSTEM_PUSHBUTTON) + "|";
    const std::string reading[][2] = {
        {"cmdStartQuickTimer", pushButton + "Timer On||pressed"},
        {"MyButton2", pushButton + "Cancel|"},
        {"scrollHours", std::to_string(ROLE_SYSTEM_SPINBUTTON) + "|Hours|1"},
        {"scrollSeconds", std::to_string(ROLE_SYSTEM_SPINBUTTON) + "|Seconds|59"},
        {"lblQTimerHour", std::to_string(ROLE_SYSTEM_STATICTEXT) + "|Hours|01"},
        {"lblQTimerSecond", std::to_string(ROLE_SYSTEM_STATICTEXT) + "|Seconds|00"}};
    for (const auto &[name, expected] : reading)
        check(heard(program.main().control(name.c_str())) == expected,
              name + " is read as " + heard(program.main().control(name.c_str())));
    wchar_t toggleText[32] = {};
    GetWindowTextW(toggle, toggleText, 32);
    check(std::wstring(toggleText) == L"Timer On", "the toggle's window text is what it shows");
    const HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_SYSTEM_ALERT, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
        [](HWINEVENTHOOK, DWORD event, HWND from, LONG, LONG, DWORD, DWORD) {
            if (event == EVENT_SYSTEM_ALERT || event == EVENT_OBJECT_LIVEREGIONCHANGED ||
                event == EVENT_OBJECT_STATECHANGE)
                events().emplace_back(event, from);
        },
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    program.click(toggle);
    program.form.MyButton2_Click();

    // The warning: the main window takes no input meanwhile; Enter and Esc mean nothing. It
    // opens centred on the main window's monitor, here not the primary one.
    check(GetSystemMetrics(SM_CMONITORS) == 2, "two monitors, from scripts/test");
    SetWindowPos(window, nullptr, 1500, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    program.click(toggle);
    program.form.tmrQuickTimer_Timer();
    program.runtime.processMessages();
    Win32Window *warning = program.warning();
    check(warning && !IsWindowEnabled(window), "the warning opens and the main window waits");
    if (!warning)
        return 1;
    check(nearFocus(warning->control("cmdCancel"), nullptr).empty(),
          "the warning's Cancel clear of its focus: " +
              nearFocus(warning->control("cmdCancel"), nullptr));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT placed{};
    GetWindowRect(warning->handle(), &placed);
    const RECT &area = monitor.rcWork;
    check(std::abs((placed.left - area.left) - (area.right - placed.right)) <= 1 &&
              std::abs((placed.top - area.top) - (area.bottom - placed.bottom)) <= 1,
          "centred on the main window's monitor: at " + std::to_string(placed.left) + "," +
              std::to_string(placed.top));
    // Read as an alert when it opens; its count heard then and at 20, as a live region.
    const HWND status = warning->control("lblStatus");
    for (int tick = 0; tick < 10; ++tick)
        program.form.shutDownForm()->tmrShutDown_Timer();
    program.runtime.processMessages();
    UnhookWinEvent(hook);
    const auto count = [](DWORD event, HWND from) {
        return std::count(events().begin(), events().end(), std::pair(event, from));
    };
    check(heard(warning->handle()) ==
                  std::to_string(ROLE_SYSTEM_ALERT) + "|Automated shutdown in progress...|" &&
              count(EVENT_SYSTEM_ALERT, warning->handle()) == 1,
          "the warning is an alert, and heard as one when it opens");
    // Off by hand, on again, off when the time was up: each flip told.
    check(count(EVENT_OBJECT_STATECHANGE, toggle) == 3,
          "the toggle's flips told: " + std::to_string(count(EVENT_OBJECT_STATECHANGE, toggle)));
    check(heard(status) == std::to_string(ROLE_SYSTEM_STATICTEXT) +
                               "|Your computer will automatically turn off in 20 seconds...|" &&
              count(EVENT_OBJECT_LIVEREGIONCHANGED, status) == 2,
          "its count heard at 30 and 20, not every second: " + heard(status));
    GetClientRect(warning->handle(), &client);
    check(client.right == 400 && client.bottom == 103, "the warning's client area at 96 dpi");
    check(GetWindowLongPtrW(warning->handle(), GWLP_HWNDPARENT) == LONG_PTR(window),
          "owned by the main window");
    check(GetWindowLongPtrW(warning->handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, "above the others");
    // Another window takes the front: by the next second the warning has it back.
    const HWND other = CreateWindowExW(0, L"STATIC", L"Full screen", WS_POPUP | WS_VISIBLE, 0, 0,
                                       1280, 800, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    program.form.shutDownForm()->tmrShutDown_Timer();
    check(GetForegroundWindow() == warning->handle(), "it takes the front back");
    DestroyWindow(other);
    // Told in the notification area too, for as long as the warning is open.
    const auto inTray = [&program] {
        for (int wait = 0; wait < 5; ++wait) { // the shell is told once the windows are painted
            Sleep(10);
            program.runtime.processMessages();
        }
        NOTIFYICONDATAW icon{};
        icon.cbSize = sizeof icon;
        icon.hWnd = FindWindowW(L"VeltraneTray", nullptr);
        icon.uID = 1;
        return icon.hWnd && Shell_NotifyIconW(NIM_MODIFY, &icon);
    };
    check(inTray(), "the warning's icon is in the notification area");
    // A click on the icon brings the warning forward; its menu's second command is Cancel.
    const HWND tray = FindWindowW(L"VeltraneTray", nullptr);
    const HWND elsewhere = CreateWindowExW(0, L"STATIC", L"Elsewhere", WS_POPUP | WS_VISIBLE, 0, 0,
                                           200, 200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(elsewhere);
    SendMessageW(tray, WM_APP + 2, 0, MAKELPARAM(NIN_SELECT, 1));
    check(GetForegroundWindow() == warning->handle(), "a click on the icon brings it forward");
    DestroyWindow(elsewhere);
    static std::wstring menu;
    static bool pick = false; // its last command, as a user would: Up wraps to it
    const auto openMenu = [tray] {
        menu.clear();
        SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR timer, DWORD) {
            KillTimer(nullptr, timer);
            const HWND open = FindWindowW(L"#32768", nullptr); // the menu's window
            const HMENU items = reinterpret_cast<HMENU>(SendMessageW(open, MN_GETHMENU, 0, 0));
            for (int i = 0; i < GetMenuItemCount(items); ++i) {
                wchar_t text[64] = {};
                GetMenuStringW(items, i, text, 64, MF_BYPOSITION);
                menu += std::wstring(i ? L" | " : L"") + text;
            }
            if (!pick) {
                EndMenu();
                return;
            }
            PostMessageW(open, WM_KEYDOWN, VK_UP, 0);
            PostMessageW(open, WM_KEYDOWN, VK_RETURN, 0);
        });
        SendMessageW(tray, WM_APP + 2, MAKEWPARAM(10, 10), MAKELPARAM(WM_CONTEXTMENU, 1));
    };
    openMenu();
    check(menu == L"Show Veltrane | Cancel the power-off | 10 more minutes",
          "the icon's menu: " + ui::win32::narrow(menu.c_str()));
    for (WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)})
        program.key(GetFocus(), key);
    check(program.warning() && GetFocus() == warning->control("cmdCancel"),
          "Enter and Esc leave it open, the focus on Cancel");
    // A screen reader may keep a control's object after its window has gone.
    IAccessible *kept = nullptr;
    AccessibleObjectFromWindow(status, OBJID_CLIENT, __uuidof(IAccessible),
                               reinterpret_cast<void **>(&kept));
    program.click(warning->control("cmdCancel"));
    check(!program.warning() && IsWindowEnabled(window),
          "Cancel closes it; the main window is back");
    check(!warning->timer("tmrShutDown").enabled(), "its count stopped with it");
    check(!inTray(), "its icon has left the notification area");
    // Again, and a click on the balloon: the notification's action is the warning's Cancel.
    program.click(toggle);
    program.form.tmrQuickTimer_Timer();
    PostMessageW(FindWindowW(L"VeltraneTray", nullptr), WM_APP + 2, 0, NIN_BALLOONUSERCLICK);
    program.runtime.processMessages();
    check(!program.warning() && !inTray(), "a click on the balloon cancels the warning");
    check(program.road.requests == 0, "nothing asked of the system");
    // Again, and "10 more minutes" from the icon's menu: the warning ends as Cancel ends it,
    // and the countdown runs again from ten minutes.
    program.click(toggle);
    program.form.ShowQuickTimerSeconds(1);
    program.form.tmrQuickTimer_Timer();
    program.form.tmrQuickTimer_Timer();
    check(program.warning() && inTray(), "the warning is open again");
    pick = true;
    openMenu();
    program.runtime.processMessages();
    check(!program.warning() && program.form.GetQuickTimerSeconds() == 600 &&
              program.form.isCounting(),
          "10 more minutes: the warning closed, and the countdown runs from 00:10:00");
    check(program.road.requests == 0, "nothing asked of the system when put off");
    // The first warning is gone for good now: its object says so, and touches nothing of it.
    VARIANT self{};
    self.vt = VT_I4;
    BSTR name = nullptr;
    check(kept && kept->get_accName(self, &name) == RPC_E_DISCONNECTED && !name,
          "a kept object of a closed warning answers that it is disconnected");
    if (kept)
        kept->Release();

    return failed();
}
