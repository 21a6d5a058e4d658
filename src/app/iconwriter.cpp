// Writes the program's icon file for the Windows resources, from the same vector picture the
// window uses, so that the two cannot drift apart.
#include "ui/qt/pictures.h"

#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: veltrane_icon OUTPUT.ico\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen"); // a build step has no display
    QGuiApplication application(argc, argv);
    QImageWriter writer(QString::fromLocal8Bit(argv[1]), "ico");
    if (!writer.write(ui::qt::Pictures::pixmap("P1", 24).toImage())) {
        std::fprintf(stderr, "veltrane_icon: %s\n", qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}
