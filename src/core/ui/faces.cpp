#include "faces.h"

namespace ui {

Font shownFont(const Font &asked, bool installed)
{
    if (installed)
        return asked;
    Font shown = asked;
    if (asked.name == DigitFace) {
        shown.name = BundledDigitFace;
        shown.points = asked.points * 5 / 6;
    } else {
        shown.name.clear();
    }
    return shown;
}

} // namespace ui
