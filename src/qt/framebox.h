#pragma once

#include <QWidget>

namespace ui::qt {

// A frame around a group of controls: an etched line with the caption set into its top edge.
// Painted here rather than by the style, whose group box reads its frame from an image file
// each time it is painted, which in a window repainted every second is most of the work.
class FrameBox final : public QWidget {
public:
    explicit FrameBox(const QString &caption, QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    // Where a focused spinner shows its focus: around itself and the field it stands beside.
    QRect focusArea() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
};

} // namespace ui::qt
