#pragma once

#include <QWidget>

namespace ui::qt {

// The top-level widget of a loaded window: tells when it is closed, keeps to the states its
// window offers, and opens centred with its frame.
class FormWidget final : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // Some window managers offer minimise and maximise whatever the window asks for; a state
    // the window does not offer is undone at once.
    void offerStates(bool minimise, bool maximise);
    // Centres the window on its screen now, and once more when the window manager has framed
    // it: until then its frame is not known, and the frame is what is centred.
    void centre();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void place();

    bool m_minimise = true;
    bool m_maximise = true;
    bool m_centring = false;
};

} // namespace ui::qt
