#include "pictures.h"

#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <vector>

namespace ui::qt {

namespace {

struct Source {
    const char *name;
    const char *file;        // vector source, or empty when derived
    const char *derivedFrom; // the picture a disabled one is made from
    QRgb grey;               // 0: each pixel's own lightness
    std::vector<int> sizes;  // the images the picture holds, in order
};

const Source *find(const std::string &name)
{
    static const std::vector<Source> sources{
        {"P1", ":/pictures/p1.svg", "", 0, {24}},
        {"P2", ":/pictures/p2.svg", "", 0, {24, 32, 16}},
        {"P3", "", "P1", 0, {24}},
        {"P4", "", "P2", 0, {24}},
        {"P5", ":/pictures/p5.svg", "", 0, {32, 16}},
        {"P6", ":/pictures/p6.svg", "", 0, {16}},
        {"P7", "", "P6", qRgb(80, 87, 80), {16}},
    };
    for (const Source &source : sources)
        if (name == source.name)
            return &source;
    return nullptr;
}

} // namespace

QPixmap Pictures::pixmap(const std::string &name, int size, qreal ratio)
{
    const Source *source = find(name);
    if (!source)
        return {};
    // A window and its buttons ask for the same pictures: draw each one once.
    const QString key =
        QStringLiteral("veltrane/%1/%2/%3").arg(QLatin1String(source->name)).arg(size).arg(ratio);
    QPixmap result;
    if (QPixmapCache::find(key, &result))
        return result;
    if (*source->derivedFrom) {
        const QImage normal = pixmap(source->derivedFrom, size, ratio).toImage();
        result = QPixmap::fromImage(
            disabled(normal, source->grey ? QColor::fromRgb(source->grey) : QColor()));
    } else {
        // The pictures are vector drawings: drawn at the screen's own pixels, never scaled up.
        const int pixels = qRound(size * ratio);
        QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QSvgRenderer renderer(QString::fromLatin1(source->file));
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        result = QPixmap::fromImage(image);
    }
    result.setDevicePixelRatio(ratio);
    QPixmapCache::insert(key, result);
    return result;
}

QIcon Pictures::icon(const std::string &name)
{
    QIcon icon;
    if (const Source *source = find(name))
        for (int size : source->sizes)
            icon.addPixmap(pixmap(name, size));
    return icon;
}

std::vector<int> Pictures::sizes(const std::string &name)
{
    const Source *source = find(name);
    return source ? source->sizes : std::vector<int>();
}

int Pictures::buttonSize(const std::string &name)
{
    const Source *source = find(name);
    return source ? source->sizes.front() : 0;
}

QImage Pictures::disabled(const QImage &picture, const QColor &grey)
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
