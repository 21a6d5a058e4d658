#include "questionbox.h"

#include "handles.h"
#include "library.h"

#include <commctrl.h>

#include <utility>

namespace ui::win32 {

namespace {

constexpr int Keep = 100;
constexpr int Stop = 101;

} // namespace

void QuestionBox::ask(HWND owner, HINSTANCE instance, const Window::Question &question,
                      const std::function<void(bool keep)> &answered)
{
    withdraw();
    const std::wstring text = wide(question.text);
    const std::wstring advice = wide(question.advice);
    const std::wstring keep = wide(question.keep);
    const std::wstring stop = wide(question.stop);
    const TASKDIALOG_BUTTON buttons[] = {{Keep, keep.c_str()}, {Stop, stop.c_str()}};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    config.hInstance = instance;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION; // Esc keeps things as they are
    config.pszWindowTitle = L"Veltrane";
    config.pszMainIcon = TD_WARNING_ICON;
    config.pszMainInstruction = text.c_str();
    config.pszContent = advice.c_str();
    config.cButtons = 2;
    config.pButtons = buttons;
    config.nDefaultButton = Keep;
    config.lpCallbackData = reinterpret_cast<LONG_PTR>(this);
    config.pfCallback = [](HWND dialog, UINT notification, WPARAM, LPARAM, LONG_PTR self) {
        if (notification == TDN_CREATED || notification == TDN_DESTROYED)
            reinterpret_cast<QuestionBox *>(self)->m_dialog =
                notification == TDN_CREATED ? dialog : nullptr;
        return S_OK;
    };
    int chosen = Keep;
    static const auto taskDialog =
        from<decltype(&TaskDialogIndirect)>(L"comctl32.dll", "TaskDialogIndirect");
    if (!taskDialog || FAILED(taskDialog(&config, &chosen, nullptr, nullptr)))
        chosen = MessageBoxW(owner, (text + L"\n\n" + advice).c_str(), L"Veltrane",
                             MB_OKCANCEL | MB_ICONWARNING) == IDCANCEL
                     ? Stop
                     : Keep;
    if (!std::exchange(m_withdrawn, false))
        answered(chosen != Stop);
}

void QuestionBox::withdraw()
{
    if (!m_dialog)
        return;
    m_withdrawn = true;
    SendMessageW(m_dialog, TDM_CLICK_BUTTON, IDCANCEL, 0);
}

} // namespace ui::win32
