#pragma once

#include "ui/buttonproperties.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QHash>

#include <string>

namespace ui::qt {

class WindowHost;

// The command button of both windows: a picture above a caption on a flat coloured face. Its
// state flips on every click before the click is reported; the state does not change its look.
class MyButton final : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(bool state READ state WRITE setState)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)

public:
    MyButton(const ButtonProperties &properties, const WindowHost &runtime,
             QWidget *parent = nullptr);

    bool state() const { return isChecked(); }
    void setState(bool state) { setChecked(state); }
    QString caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }
    // A screen reader hears it as a toggle, pressed while the state is on.
    bool isToggle() const { return m_toggle; }
    void setToggle(bool toggle) { m_toggle = toggle; }

    // The caption's font: the button's, made smaller until the caption fits inside the border.
    QFont captionFont() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ButtonProperties m_properties;
    const WindowHost &m_runtime;
    int m_pictureSize = 0;
    bool m_toggle = false;
    // Captions fitted, for the width and font they were fitted to.
    mutable QHash<QString, QFont> m_fittedFonts;
    mutable int m_fittedWidth = -1;
    mutable QFont m_fittedBase;
};

} // namespace ui::qt
