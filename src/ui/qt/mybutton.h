#pragma once

#include "ui/buttonproperties.h"

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>

namespace ui::qt {

class QtRuntime;

// The command button of both windows: a picture above a caption on a flat coloured face. Its
// state flips on every click before the click is reported; the state does not change its look.
class MyButton final : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(bool state READ state WRITE setState)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)

public:
    MyButton(const ButtonProperties &properties, const QtRuntime &runtime,
             QWidget *parent = nullptr);

    bool state() const { return isChecked(); }
    void setState(bool state) { setChecked(state); }
    QString caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }

    // The face colour for the button's present look.
    QColor faceColour() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_back;
    QColor m_backDown;
    QColor m_backOver;
    QColor m_backFocus;
    QColor m_backDisabled;
    QColor m_border;
    QPixmap m_picture;
    QPixmap m_pictureDisabled;
    int m_pictureOffsetY = 0;
};

} // namespace ui::qt
