#include "captionfit.h"

namespace ui {

namespace {

constexpr int CaptionMargin = 3; // pixels at 96 dpi between a caption and its button's border
constexpr int Border = 1;
constexpr double SmallestPoints = 5;
const std::string Ellipsis = "\xE2\x80\xA6";

} // namespace

int captionRoom(int width, int dpi)
{
    return width - 2 * (((CaptionMargin + Border) * dpi + 48) / 96);
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
