#include "picturesources.h"

namespace ui::qt {

const std::vector<PictureSource> &pictureSources()
{
    static const std::vector<PictureSource> sources{
        {"P1", "p1.svg", "", 0, {24}},
        {"P2", "p2.svg", "", 0, {24, 32, 16}},
        {"P3", "", "P1", 0, {24}},
        {"P4", "", "P2", 0, {24}},
        {"P5", "p5.svg", "", 0, {32, 16}},
        {"P6", "p6.svg", "", 0, {16}},
        {"P7", "", "P6", qRgb(80, 87, 80), {16}},
    };
    return sources;
}

const PictureSource *pictureSource(const std::string &name)
{
    for (const PictureSource &source : pictureSources())
        if (name == source.name)
            return &source;
    return nullptr;
}

QString pictureName(const PictureSource &source, int size, double scale)
{
    return QStringLiteral("%1-%2@%3")
        .arg(QString::fromStdString(source.name).toLower())
        .arg(size)
        .arg(scale);
}

QImage disabledPicture(const QImage &picture, const QColor &grey)
{
    QImage result = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb pixel = line[x];
            if (qAlpha(pixel) < 128) {
                line[x] = qRgba(0, 0, 0, 0);
                continue;
            }
            const QColor unpremultiplied = QColor::fromRgba(pixel);
            const int lightness = qGray(unpremultiplied.rgb());
            line[x] = grey.isValid() ? grey.rgb() : qRgb(lightness, lightness, lightness);
        }
    }
    return result;
}

} // namespace ui::qt
