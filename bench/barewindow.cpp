// The start-up baselines: an empty Qt Widgets window of the main window's size, and with
// --text the same window showing one line of text, which is what it takes to start the fonts.
#include "ui/definition.h"
#include "ui/forms.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const ui::WindowDefinition &definition = ui::frmMain();
    QWidget window;
    window.setWindowTitle(QString::fromStdString(definition.title));
    window.setFixedSize(definition.clientWidth / ui::TwipsPerPixel,
                        definition.clientHeight / ui::TwipsPerPixel);
    if (QApplication::arguments().contains(QLatin1String("--text")))
        new QLabel(QStringLiteral("00:00:00"), &window);
    window.show();
    return QApplication::exec();
}
