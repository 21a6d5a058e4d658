#pragma once

#include <QDateTime>
#include <QLocale>

#include <ctime>
#include <string>

namespace ui::qt {

// A time of the clock in the locale's short format ("23:30", "11:30 PM"), with its seconds
// where asked for.
inline std::string localClockTime(std::time_t when, bool seconds)
{
    const QLocale locale;
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (seconds && !format.contains(QLatin1Char('s')))
        format.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
    else if (!seconds) // the C locale's short format has them
        format.remove(QLatin1String(":ss"));
    return locale.toString(QDateTime::fromSecsSinceEpoch(when).time(), format).toStdString();
}

} // namespace ui::qt
