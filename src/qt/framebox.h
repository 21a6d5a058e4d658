#pragma once

#include <QHash>
#include <QWidget>

namespace ui::qt {

// A frame around a group of controls: an etched line with the caption set into its top edge.
// Painted here rather than by the style, whose group box reads its frame from an image file
// each time it is painted, which in a window repainted every second is most of the work.
class FrameBox final : public QWidget {
public:
    explicit FrameBox(const QString &caption, QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    // Where a spinner of the frame shows its focus (focusArea() in the core).
    void setFocusArea(const QWidget *spinner, const QRect &area) { m_areas.insert(spinner, area); }
    // The focused spinner's, or none.
    QRect focusArea() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
    QHash<const QWidget *, QRect> m_areas;
};

} // namespace ui::qt
