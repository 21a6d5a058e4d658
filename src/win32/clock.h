#pragma once

#include "handles.h"
#include "ui/forms.h"

#include <windows.h>

#include <ctime>
#include <string>

namespace ui::win32 {

// A time of the clock in the user's short time format ("23:30", "11:30 PM"), with its seconds
// where asked for.
inline std::string localClockTime(std::time_t when, bool seconds)
{
    const std::tm local = *std::localtime(&when);
    SYSTEMTIME time{};
    time.wHour = WORD(local.tm_hour);
    time.wMinute = WORD(local.tm_min);
    time.wSecond = WORD(local.tm_sec);
    wchar_t text[64] = {};
    if (!GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, seconds ? 0 : TIME_NOSECONDS, &time, nullptr,
                         text, 64))
        return ui::clockTime(when, seconds);
    return narrow(text);
}

} // namespace ui::win32
