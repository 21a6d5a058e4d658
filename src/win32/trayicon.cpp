#include "trayicon.h"

#include "clock.h"
#include "log/log.h"
#include "timer/fieldtext.h"

#include <windowsx.h>

#include <algorithm>
#include <ctime>
#include <string_view>
#include <utility>

namespace ui::win32 {

namespace {

constexpr UINT Clicked = WM_APP + 2;
constexpr UINT_PTR Settle = 1;

template <std::size_t size> void copy(wchar_t (&field)[size], const std::string &text)
{
    const std::wstring wanted = wide(text);
    const std::size_t length = std::min(wanted.size(), size - 1); // the shell cuts it short too
    std::copy_n(wanted.data(), length, field);
    field[length] = L'\0';
}

} // namespace

TrayIcon::TrayIcon(HINSTANCE instance, HICON icon, Run run)
    : m_run(std::move(run)), m_taskbarCreated(RegisterWindowMessageW(L"TaskbarCreated")),
      m_window(instance, L"VeltraneTray", [this](UINT message, WPARAM wParam, LPARAM lParam) {
          return handle(message, wParam, lParam);
      })
{
    m_data.cbSize = sizeof m_data;
    m_data.hWnd = m_window.window();
    m_data.uID = 1;
    // Under version 4 the tooltip shows only when asked for.
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP | NIF_INFO;
    m_data.uCallbackMessage = Clicked;
    m_data.hIcon = icon;
    m_data.dwInfoFlags = NIIF_WARNING;
}

TrayIcon::~TrayIcon()
{
    if (m_added)
        tell(NIM_DELETE);
}

void TrayIcon::show(const Notice &notice, Handler act, Handler later)
{
    m_act = std::move(act);
    m_command = wide(notice.command);
    m_later = std::move(later);
    m_laterWords = wide(notice.later);
    m_end = notice.end;
    copy(m_data.szTip, tip(notice.summary));
    copy(m_data.szInfoTitle, notice.summary);
    copy(m_data.szInfo, notice.body);
    m_wanted = true;
    settleLater();
}

std::string TrayIcon::tip(const std::string &news) const
{
    return "Veltrane: " +
           (m_end ? timer::timeLeftText(m_end, std::time(nullptr), localClockTime(m_end, true))
                  : news);
}

void TrayIcon::refreshTip()
{
    const std::wstring before = m_data.szTip;
    copy(m_data.szTip, tip({}));
    if (!m_added || before == m_data.szTip)
        return;
    // The tip alone: with NIF_INFO the balloon would pop up again.
    const UINT flags = std::exchange(m_data.uFlags, NIF_TIP | NIF_SHOWTIP);
    tell(NIM_MODIFY);
    m_data.uFlags = flags;
}

void TrayIcon::withdraw()
{
    m_act = nullptr;
    m_later = nullptr;
    m_wanted = false;
    settleLater();
}

void TrayIcon::settleLater()
{
    // The shell is another process, and may be slow to answer: the tick or the warning that
    // brought the news is painted first, as timer messages come after paint messages.
    SetTimer(m_window.window(), Settle, USER_TIMER_MINIMUM, nullptr);
}

void TrayIcon::settle()
{
    KillTimer(m_window.window(), Settle);
    if (!m_wanted) {
        if (std::exchange(m_added, false))
            tell(NIM_DELETE);
        return;
    }
    if (m_added) {
        tell(NIM_MODIFY);
        return;
    }
    if (!add() && !std::exchange(m_told, true))
        logging::log("no notification-area icon: the shell refused it");
}

bool TrayIcon::add()
{
    m_added = tell(NIM_ADD);
    m_data.uVersion = NOTIFYICON_VERSION_4;
    return m_added && tell(NIM_SETVERSION);
}

void TrayIcon::bringForward() const
{
    // The program's main window, or what it has open over it: the warning, a question.
    HWND main = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            if (std::wstring_view(name) != L"VeltraneWindow" || GetWindow(window, GW_OWNER) ||
                !IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<HWND *>(found) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&main));
    if (!main)
        return;
    if (IsIconic(main))
        ShowWindow(main, SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(main));
}

void TrayIcon::showMenu(POINT at)
{
    const UniqueMenu menu(CreatePopupMenu());
    enum : UINT { Show = 1, Act, Later };
    AppendMenuW(menu.get(), MF_STRING, Show, L"Show Veltrane");
    if (m_act && !m_command.empty())
        AppendMenuW(menu.get(), MF_STRING, Act, m_command.c_str());
    if (m_later && !m_laterWords.empty())
        AppendMenuW(menu.get(), MF_STRING, Later, m_laterWords.c_str());
    // The menu closes when the user clicks elsewhere only if its window is in front.
    SetForegroundWindow(m_window.window());
    const UINT chosen = TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                         at.x, at.y, m_window.window(), nullptr);
    PostMessageW(m_window.window(), WM_NULL, 0, 0);
    if (chosen == Show)
        bringForward();
    else if (chosen == Act && m_act)
        m_run(Handler(m_act)); // it may withdraw the icon, and with it the handler
    else if (chosen == Later && m_later)
        m_run(Handler(m_later));
}

bool TrayIcon::tell(DWORD what)
{
    // Loaded here, not at start-up: shell32 costs every start milliseconds.
    if (!m_shell) {
        m_shell.reset(LoadLibraryW(L"shell32.dll"));
        if (m_shell)
            m_notify = reinterpret_cast<decltype(m_notify)>(
                reinterpret_cast<void (*)()>(GetProcAddress(m_shell.get(), "Shell_NotifyIconW")));
    }
    return m_notify && m_notify(what, &m_data);
}

std::optional<LRESULT> TrayIcon::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == Settle) {
        settle();
        return 0;
    }
    if (message == Clicked) {
        switch (LOWORD(lParam)) {
        case NIN_BALLOONUSERCLICK:
            if (m_act)
                m_run(Handler(m_act)); // it may withdraw the icon, and with it the handler
            return 0;
        case NIN_SELECT:
        case NIN_KEYSELECT:
            bringForward();
            return 0;
        case WM_MOUSEMOVE:
            // The pointer is over the icon: its tip tells the time left as of now, with no
            // timer of its own to keep it so.
            if (m_end)
                refreshTip();
            return 0;
        case WM_CONTEXTMENU:
            showMenu({GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
            return 0;
        default:
            return 0;
        }
    }
    // Explorer started again: the icon is gone with the old taskbar.
    if (message == m_taskbarCreated && m_added)
        add();
    return std::nullopt;
}

} // namespace ui::win32
