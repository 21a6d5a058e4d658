#pragma once

#include <QIcon>
#include <QPixmap>

#include <string>

namespace ui::qt {

// The program's pictures P1 to P7, as drawn when the program was built.
class Pictures final {
public:
    // For the screen's pixels: size logical pixels at the given device pixel ratio.
    static QPixmap pixmap(const std::string &name, int size, qreal ratio = 1);
    static QIcon icon(const std::string &name);
    // The size of the image drawn on a button.
    static int buttonSize(const std::string &name);
};

} // namespace ui::qt
