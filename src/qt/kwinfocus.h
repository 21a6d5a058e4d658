#pragma once

#include <QObject>
#include <QTemporaryFile>

namespace ui::qt {

// KWin lets no client raise itself on Wayland, and an active full-screen window covers every
// other. A script in KWin itself may: it makes the window active and keeps it above, so that
// the full screen drops behind it. Does nothing outside Plasma.
class KWinFocus final : public QObject {
    Q_OBJECT

public:
    explicit KWinFocus(QObject *parent);

    void focus(const QString &title);

private:
    QString m_name; // the script's name in KWin: one at a time for this program
    QTemporaryFile m_script;
};

} // namespace ui::qt
