#include "pictures.h"

#include "picturesources.h"

#include <QPixmapCache>

#include <algorithm>
#include <iterator>

namespace ui::qt {

QPixmap Pictures::pixmap(const std::string &name, int size, qreal ratio)
{
    const PictureSource *source = pictureSource(name);
    if (!source)
        return {};
    // A window and its buttons ask for the same pictures: make each one once.
    const QString key = QStringLiteral("veltrane/%1/%2/%3")
                            .arg(QString::fromStdString(source->name))
                            .arg(size)
                            .arg(ratio);
    QPixmap result;
    if (QPixmapCache::find(key, &result))
        return result;
    if (!source->derivedFrom.empty()) {
        const QImage normal = pixmap(source->derivedFrom, size, ratio).toImage();
        result = QPixmap::fromImage(
            disabledPicture(normal, source->grey ? QColor::fromRgb(source->grey) : QColor()));
    } else {
        // Drawn for the screen's own pixels where the build drew at its scale; otherwise made
        // smaller from the next scale up, never larger from one below.
        const auto drawn = std::find_if(std::begin(PictureScales), std::end(PictureScales),
                                        [ratio](double scale) { return scale >= ratio - 0.01; });
        const double scale = drawn == std::end(PictureScales) ? *std::prev(drawn) : *drawn;
        const DrawnImage image = drawnPicture(pictureName(*source, size, scale));
        result = QPixmap::fromImage(QImage(reinterpret_cast<const uchar *>(image.pixels),
                                           image.side, image.side, image.side * 4,
                                           QImage::Format_ARGB32_Premultiplied));
        const int pixels = qRound(size * ratio);
        if (!result.isNull() && result.width() != pixels)
            result = result.scaled(pixels, pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    result.setDevicePixelRatio(ratio);
    QPixmapCache::insert(key, result);
    return result;
}

QIcon Pictures::icon(const std::string &name)
{
    QIcon icon;
    if (const PictureSource *source = pictureSource(name))
        for (int size : source->sizes)
            icon.addPixmap(pixmap(name, size));
    return icon;
}

int Pictures::buttonSize(const std::string &name)
{
    const PictureSource *source = pictureSource(name);
    return source ? source->sizes.front() : 0;
}

} // namespace ui::qt
