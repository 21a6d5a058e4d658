#pragma once

#include "windowhost.h"

#include <QMessageBox>
#include <QPointer>

#include <functional>

namespace ui::qt {

// The question a window asks over itself: a message box over its own window only, while the
// countdown and the other window go on.
class QuestionBox final {
public:
    explicit QuestionBox(WindowHost &host) : m_host(host) {}

    void ask(QWidget *over, const Window::Question &question,
             std::function<void(bool keep)> answered);
    // Closes it unanswered, if it is open.
    void withdraw();

private:
    WindowHost &m_host;
    QPointer<QMessageBox> m_box;
};

} // namespace ui::qt
