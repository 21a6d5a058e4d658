#pragma once

#include <QWidget>

namespace ui::qt {

// The top-level widget of a loaded window: tells when it is closed.
class FormWidget final : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
};

} // namespace ui::qt
