// Draws the program's pictures from their vector drawings when it is built, so that neither
// program needs to draw vectors at run time, and both show the same pictures:
// - for the Qt windows, each vector picture at each size it is shown at and each scale drawn
//   for, as pixels in drawnpictures.cpp, which drawnPicture() finds them in;
// - for the Windows program, p1.ico to p7.ico, each with its images at 100 %, 150 % and 200 %,
//   and veltrane.ico, the program's own icon, 16 to 256 pixels. Their images are 32-bit bitmaps
//   with their alpha, which Windows draws without a decoder to load first, as PNG images would
//   need; only Explorer's largest view takes the 256-pixel one, a PNG;
// - for the desktop's menus on Linux, the program's icon as PNG images from 16 to 256 pixels,
//   in hicolor/NxN/apps/veltrane.png, as the icon theme lays them out.
// Usage: veltrane_pictures DRAWINGS_DIRECTORY OUTPUT_DIRECTORY
#include "qt/picturesources.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

using namespace ui::qt;

// The picture at so many pixels, drawn from its vector drawing or made from the one it is the
// disabled form of.
QImage draw(const QDir &drawings, const PictureSource &source, int pixels)
{
    if (!source.derivedFrom.empty())
        return disabledPicture(draw(drawings, *pictureSource(source.derivedFrom), pixels),
                               source.grey ? QColor::fromRgb(source.grey) : QColor());
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(drawings.filePath(QString::fromStdString(source.drawing)));
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

bool writeIcon(const QString &path, const QDir &drawings, const PictureSource &picture,
               const std::vector<int> &sizes)
{
    std::vector<QByteArray> images;
    for (int size : sizes) {
        const QImage image = draw(drawings, picture, size).convertToFormat(QImage::Format_ARGB32);
        QByteArray bitmap;
        // The largest as PNG, as Windows takes it since Vista: a bitmap would be 256 KiB.
        if (size >= 256) {
            QBuffer png(&bitmap);
            png.open(QIODevice::WriteOnly);
            image.save(&png, "PNG");
            images.push_back(bitmap);
            continue;
        }
        // A bitmap's header, twice the height for the mask that follows, the rows bottom up in
        // blue, green, red, alpha, then the mask: one bit a pixel, rows padded to 32 bits.
        QDataStream out(&bitmap, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out << quint32(40) << qint32(size) << qint32(2 * size) << quint16(1) << quint16(32)
            << quint32(0) << quint32(0) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
        for (int y = size - 1; y >= 0; --y)
            for (int x = 0; x < size; ++x)
                out << quint32(image.pixel(x, y));
        const int maskRow = (size + 31) / 32 * 4;
        for (int y = size - 1; y >= 0; --y) {
            QByteArray row(maskRow, '\0');
            for (int x = 0; x < size; ++x)
                if (qAlpha(image.pixel(x, y)) == 0)
                    row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
            out.writeRawData(row.constData(), int(row.size()));
        }
        images.push_back(bitmap);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size()); // an icon, and how many images
    quint32 offset = 6 + 16 * quint32(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const quint8 side = sizes[i] >= 256 ? 0 : quint8(sizes[i]);
        out << side << side << quint8(0) << quint8(0) << quint16(1) << quint16(32)
            << quint32(images[i].size()) << offset;
        offset += quint32(images[i].size());
    }
    for (const QByteArray &image : images)
        out.writeRawData(image.constData(), int(image.size()));
    return out.status() == QDataStream::Ok;
}

// The images' pixels as C++ arrays, and drawnPicture() to find them by name.
bool writeSource(const QString &path, const std::vector<std::pair<QString, QImage>> &images)
{
    QByteArray source = "// Written by veltrane_pictures when the program is built.\n"
                        "#include \"qt/picturesources.h\"\n\n"
                        "namespace ui::qt {\n\n"
                        "DrawnImage drawnPicture(const QString &name)\n{\n";
    for (std::size_t i = 0; i < images.size(); ++i) {
        const QImage image = images[i].second.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        source += "    static const quint32 image" + QByteArray::number(qulonglong(i)) + "[] = {";
        for (int y = 0; y < image.height(); ++y) {
            const auto *line = reinterpret_cast<const quint32 *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                source += "0x" + QByteArray::number(line[x], 16) + ',';
        }
        source += "};\n";
    }
    source += "    static const struct {\n        const char *name;\n        DrawnImage image;\n"
              "    } images[] = {\n";
    for (std::size_t i = 0; i < images.size(); ++i)
        source += "        {\"" + images[i].first.toLatin1() + "\", {image" +
                  QByteArray::number(qulonglong(i)) + ", " +
                  QByteArray::number(images[i].second.width()) + "}},\n";
    source += "    };\n    for (const auto &image : images)\n"
              "        if (name == QLatin1String(image.name))\n"
              "            return image.image;\n    return {};\n}\n\n} // namespace ui::qt\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(source) == source.size();
}

bool writeThemeIcons(const QDir &out, const QDir &drawings)
{
    bool written = true;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        written &=
            out.mkpath(folder) &&
            draw(drawings, *pictureSource("P1"), size).save(out.filePath(folder + "/veltrane.png"));
    }
    return written;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: veltrane_pictures DRAWINGS_DIRECTORY OUTPUT_DIRECTORY\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen"); // a build step has no display
    QGuiApplication application(argc, argv);
    const QDir drawings(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    bool written = out.mkpath(".");
    std::vector<std::pair<QString, QImage>> drawn;
    for (const PictureSource &picture : pictureSources()) {
        std::vector<int> sizes;
        for (int size : picture.sizes) {
            for (int scale : {2, 3, 4}) // 100 %, 150 %, 200 %
                sizes.push_back(size * scale / 2);
            if (picture.drawing.empty())
                continue;
            for (double scale : PictureScales)
                drawn.emplace_back(pictureName(picture, size, scale),
                                   draw(drawings, picture, qRound(size * scale)));
        }
        written &= writeIcon(out.filePath(QString::fromStdString(picture.name).toLower() + ".ico"),
                             drawings, picture, sizes);
    }
    written &= writeSource(out.filePath("drawnpictures.cpp"), drawn);
    written &= writeIcon(out.filePath("veltrane.ico"), drawings, *pictureSource("P1"),
                         {16, 20, 24, 32, 40, 48, 64, 256});
    written &= writeThemeIcons(out, drawings);
    if (!written)
        std::fprintf(stderr, "veltrane_pictures: could not write to %s\n", argv[2]);
    return written ? 0 : 1;
}
