#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <string>
#include <vector>

// What the pictures P1 to P7 are made of. P1, P2, P5 and P6 are vector drawings, turned into
// images when the program is built, at each size they are shown at and at each scale below;
// P3, P4 and P7, the disabled pictures, are made from P1, P2 and P6 when they are first shown.
namespace ui::qt {

struct PictureSource {
    std::string name;
    std::string drawing;     // the vector drawing's file name, or empty when derived
    std::string derivedFrom; // the picture a disabled one is made from
    QRgb grey;               // 0: each pixel's own lightness
    std::vector<int> sizes;  // the images the picture holds, in order
};

const std::vector<PictureSource> &pictureSources();
const PictureSource *pictureSource(const std::string &name);

// The screen scales drawn for at build time. A scale in between is made from the next one up,
// a larger one from the largest.
inline constexpr double PictureScales[] = {1, 1.5, 2};

// A drawn image: side by side pixels of premultiplied ARGB, ready to show with nothing to
// decode, or no pixels.
struct DrawnImage {
    const quint32 *pixels = nullptr;
    int side = 0;
};

// An image's name among the drawn ones: "p1-24@1.5".
QString pictureName(const PictureSource &source, int size, double scale);
// Written when the program is built.
DrawnImage drawnPicture(const QString &name);

// Opaque pixels (alpha from 128 up) become grey: their own lightness, or the one colour given.
QImage disabledPicture(const QImage &picture, const QColor &grey = QColor());

} // namespace ui::qt
