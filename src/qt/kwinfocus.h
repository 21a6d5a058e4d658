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
    ~KWinFocus() override;

    // Brings the window with this title forward; with `keep`, once a second from then on, for
    // as long as it is there.
    void focus(const QString &title, bool keep);

private:
    QString m_name; // the script's name in KWin
    QTemporaryFile m_script;
    bool m_keeping = false; // a script that keeps it forward is loaded
};

} // namespace ui::qt
