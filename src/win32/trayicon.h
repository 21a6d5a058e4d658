#pragma once

#include "handles.h"
#include "ui/window.h"

#include <shellapi.h>

namespace ui::win32 {

// The program's icon in the notification area, there while there is news, with the news as a
// balloon: Windows 10 and 11 show it as a toast. A click on the balloon is its action, a click
// on the icon brings the program forward, and its menu has both; its tooltip tells the time
// left. The shell is told a moment later, once our windows are painted. Without a notification
// area, one line in the log, and nothing else changes.
class TrayIcon final {
public:
    using Run = std::function<void(const Handler &)>;
    TrayIcon(HINSTANCE instance, HICON icon, Run run);
    ~TrayIcon();
    TrayIcon(const TrayIcon &) = delete;
    TrayIcon &operator=(const TrayIcon &) = delete;

    // `later` is its menu's second command, where the notice has one.
    void show(const Notice &notice, Handler act, Handler later);
    void withdraw();

private:
    std::optional<LRESULT> handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Its tooltip: the time left where there is an end, else the news.
    std::string tip(const std::string &news) const;
    void refreshTip();
    void settleLater();
    // Tells the shell what is wanted now: the icon with the news, or none.
    void settle();
    bool add();
    bool tell(DWORD what);
    // A click on the icon; its right-click menu: "Show Veltrane" and the news's commands.
    void bringForward() const;
    void showMenu(POINT at);

    UniqueLibrary m_shell;
    decltype(&Shell_NotifyIconW) m_notify = nullptr;
    Run m_run;
    UINT m_taskbarCreated;
    NOTIFYICONDATAW m_data{};
    bool m_wanted = false;
    bool m_added = false;
    bool m_told = false;
    Handler m_act;
    std::wstring m_command; // the act, in a menu's words
    Handler m_later;
    std::wstring m_laterWords;
    std::time_t m_end = 0;
    MessageWindow m_window; // last: it may hear of messages as soon as it is made
};

} // namespace ui::win32
