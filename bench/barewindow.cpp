// The baselines: an empty Qt Widgets window of the main window's size; with --text the same
// window showing one line of text, which is what it takes to start the fonts; with --tick a
// two-digit label where the seconds field is, which a click sets going and a precise timer then
// changes once a second: the least a countdown on this toolkit can cost.
#include "ui/definition.h"
#include "ui/forms.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace {

class Ticking final : public QWidget {
public:
    Ticking()
    {
        m_label->setGeometry(134, 96, 29, 18); // where the seconds field is, and its size
        m_label->setAlignment(Qt::AlignCenter);
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1000);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { show(--m_count); });
    }

protected:
    void mouseReleaseEvent(QMouseEvent *) override
    {
        m_count = 99;
        show(m_count);
        m_timer.start();
    }

private:
    void show(int count)
    {
        m_label->setText(QStringLiteral("%1").arg(count % 100, 2, 10, QChar('0')));
    }

    QLabel *m_label = new QLabel(QStringLiteral("00"), this);
    QTimer m_timer;
    int m_count = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const ui::WindowDefinition &definition = ui::frmMain();
    const QStringList arguments = QApplication::arguments();
    const std::unique_ptr<QWidget> made = arguments.contains(QLatin1String("--tick"))
                                              ? std::make_unique<Ticking>()
                                              : std::make_unique<QWidget>();
    QWidget &window = *made;
    window.setWindowTitle(QString::fromStdString(definition.title));
    window.setFixedSize(definition.clientWidth / ui::TwipsPerPixel,
                        definition.clientHeight / ui::TwipsPerPixel);
    if (arguments.contains(QLatin1String("--text")))
        new QLabel(QStringLiteral("00:00:00"), &window);
    window.show();
    return QApplication::exec();
}
