#include "captionfit.h"

namespace ui {

namespace {

// Pixels at 96 dpi: the focus rectangle's inset and line, and the gap beside it.
constexpr int FocusInset = 3;
constexpr int FocusLine = 1;
constexpr int Gap = 1;
constexpr double SmallestPoints = 5;
const std::string Ellipsis = "\xE2\x80\xA6";

int scaled(int pixels, int dpi)
{
    return (pixels * dpi + 48) / 96;
}

} // namespace

int focusInset(int dpi)
{
    return scaled(FocusInset, dpi);
}

int captionClearance(int dpi)
{
    return scaled(FocusInset + FocusLine + Gap, dpi);
}

int captionRoom(int width, int dpi)
{
    return width - 2 * captionClearance(dpi);
}

double fittedPoints(double points, int room, const std::function<int(double)> &width)
{
    while (points > SmallestPoints && width(points) > room)
        points -= 0.25;
    return points;
}

std::string elided(const std::string &caption, int room,
                   const std::function<int(const std::string &)> &width)
{
    if (width(caption) <= room)
        return caption;
    std::string start = caption;
    while (!start.empty()) {
        // Back by one character: the bytes that continue a UTF-8 sequence, then the first.
        unsigned char last = 0;
        do {
            last = static_cast<unsigned char>(start.back());
            start.pop_back();
        } while (!start.empty() && (last & 0xC0) == 0x80);
        if (width(start + Ellipsis) <= room)
            break;
    }
    return start + Ellipsis;
}

} // namespace ui
