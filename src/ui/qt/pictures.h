#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <string>
#include <vector>

namespace ui::qt {

// The program's pictures P1 to P7, drawn from vector sources. The disabled pictures P3, P4 and
// P7 are made from P1, P2 and P6: every opaque pixel grey, every other pixel transparent.
class Pictures final {
public:
    // Drawn for the screen's pixels: size logical pixels at the given device pixel ratio.
    static QPixmap pixmap(const std::string &name, int size, qreal ratio = 1);
    static QIcon icon(const std::string &name);
    // The sizes of the picture's images, the one drawn on a button first.
    static std::vector<int> sizes(const std::string &name);
    static int buttonSize(const std::string &name);
    // Opaque pixels (alpha from 128 up) become grey: their own lightness, or the one colour given.
    static QImage disabled(const QImage &picture, const QColor &grey = QColor());
};

} // namespace ui::qt
