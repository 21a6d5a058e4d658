// Writes the pictures for the Windows resources, from the same vector drawings the Qt windows
// use, so that the two cannot drift apart: p1.ico to p7.ico, each with its images at 100 %,
// 150 % and 200 %, and veltrane.ico, the program's own icon. The images are 32-bit bitmaps with
// their alpha, which Windows draws without a decoder to load first, as PNG images would need.
#include "ui/qt/pictures.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <vector>

namespace {

bool writeIcon(const QString &path, const std::string &picture, const std::vector<int> &sizes)
{
    std::vector<QByteArray> images;
    for (int size : sizes) {
        // A bitmap's header, twice the height for the mask that follows, the rows bottom up in
        // blue, green, red, alpha, then the mask: one bit a pixel, rows padded to 32 bits.
        const QImage image = ui::qt::Pictures::pixmap(picture, size)
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32);
        QByteArray bitmap;
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

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: veltrane_pictures OUTPUT_DIRECTORY\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen"); // a build step has no display
    QGuiApplication application(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool written = out.mkpath(".");
    for (const char *picture : {"P1", "P2", "P3", "P4", "P5", "P6", "P7"}) {
        std::vector<int> sizes;
        for (int size : ui::qt::Pictures::sizes(picture))
            for (int scale : {2, 3, 4}) // 100 %, 150 %, 200 %
                sizes.push_back(size * scale / 2);
        written &= writeIcon(out.filePath(QString(picture).toLower() + ".ico"), picture, sizes);
    }
    written &= writeIcon(out.filePath("veltrane.ico"), "P1", {16, 24, 32, 48});
    if (!written)
        std::fprintf(stderr, "veltrane_pictures: could not write to %s\n", argv[1]);
    return written ? 0 : 1;
}
