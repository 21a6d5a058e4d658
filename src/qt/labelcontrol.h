#pragma once

#include "windowhost.h"

#include <QFont>
#include <QHash>
#include <QLabel>

namespace ui::qt {

// A label, made from its definition. Labels never size themselves to their text: a caption too
// long for the label is elided, and the full caption is still what the label holds.
class LabelControl final : public Window::Label {
public:
    LabelControl(const ControlDefinition &definition, QWidget *parent, const WindowHost &host);

    QLabel *widget() const { return m_label; }
    std::string caption() const override { return m_caption.toStdString(); }
    void setCaption(const std::string &caption) override;
    void setDetail(const std::string &detail) override;
    void announce(const std::string &words) override;

private:
    QString fitted(const QString &caption);

    QLabel *m_label;
    bool m_shown;
    QString m_caption;
    QFont m_measured;
    QHash<QChar, qreal> m_advances;
};

} // namespace ui::qt
