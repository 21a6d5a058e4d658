#include "trayicon.h"

#include "poweroff/log.h"

#include <algorithm>
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
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    m_data.uCallbackMessage = Clicked;
    m_data.hIcon = icon;
    m_data.dwInfoFlags = NIIF_WARNING;
}

TrayIcon::~TrayIcon()
{
    if (m_added)
        tell(NIM_DELETE);
}

void TrayIcon::show(const Notice &notice, Handler act)
{
    m_act = std::move(act);
    copy(m_data.szTip, "Veltrane: " + notice.summary);
    copy(m_data.szInfoTitle, notice.summary);
    copy(m_data.szInfo, notice.body);
    m_wanted = true;
    settleLater();
}

void TrayIcon::withdraw()
{
    m_act = nullptr;
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
    m_added = tell(NIM_ADD);
    if (m_added) {
        m_data.uVersion = NOTIFYICON_VERSION_4;
        tell(NIM_SETVERSION);
    } else if (!std::exchange(m_told, true)) {
        poweroff::log("no notification-area icon: the shell refused it");
    }
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
    if (message == Clicked && LOWORD(lParam) == NIN_BALLOONUSERCLICK && m_act) {
        const Handler act = m_act; // it may withdraw the icon, and with it the handler
        m_run(act);
        return 0;
    }
    // Explorer started again: the icon is gone with the old taskbar.
    if (message == m_taskbarCreated && m_added)
        m_added = tell(NIM_ADD);
    return std::nullopt;
}

} // namespace ui::win32
