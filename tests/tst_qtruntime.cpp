#include "session.h"
#include "ui/buttonproperties.h"
#include "ui/qt/framebox.h"
#include "ui/qt/mybutton.h"
#include "ui/qt/pictures.h"
#include "ui/qt/ticktimer.h"

#include <QApplication>
#include <QDebug>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <stdexcept>

Q_DECLARE_METATYPE(Qt::TimerType)

class QtRuntimeTest : public QObject {
    Q_OBJECT

private slots:
    void layout();
    void focus();
    void frameCaptionBreaksItsLine();
    void buttonFace();
    void badButtonSetsAreRefused();
    void disabledPictures_data();
    void disabledPictures();
    void timer_data();
    void timer();
};

void QtRuntimeTest::layout()
{
    Session session;
    session.run("start; tick"); // the warning is open over the main window
    QVERIFY2(session.warning(), "the warning did not open");
    const struct {
        QWidget *window;
        const char *title;
        QSize client;
        bool main; // resized and minimised by the user
    } windows[] = {{session.main(), "Veltrane", {292, 200}, true},
                   {session.warning(), "Automated shutdown in progress...", {400, 103}, false}};
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    for (const auto &[window, title, client, main] : windows) {
        QCOMPARE(window->windowTitle(), QString(title));
        QCOMPARE(window->size(), client);
        QCOMPARE(window->minimumSize() != window->maximumSize(), main);
        QCOMPARE(bool(window->windowFlags() & Qt::WindowMinimizeButtonHint), main);
        QCOMPARE(window->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint),
                 Qt::WindowCloseButtonHint);
        QVERIFY(!window->windowIcon().isNull());
        const QPoint offCentre = window->geometry().center() - centre;
        QVERIFY2(qAbs(offCentre.x()) <= 2 && qAbs(offCentre.y()) <= 2, title);
    }
    QCOMPARE(QApplication::activeModalWidget(), session.warning());
    session.main()->resize(600, 450); // growing moves nothing

    const struct {
        const char *name;
        const char *container;
        QRect pixels;
        const char *text;
        const char *toolTip;
    } designed[] = {
        {"fraQuickTimer", "frmMain", {36, 33, 220, 127}, "", ""},
        {"cmdStartQuickTimer",
         "fraQuickTimer",
         {151, 72, 54, 43},
         "Timer Off",
         "Apply timer settings"},
        {"MyButton2", "fraQuickTimer", {151, 20, 54, 43}, "Cancel", "Cancel timer settings"},
        {"lblQTimerSecond", "fraQuickTimer", {98, 63, 29, 18}, "00", "Second"},
        {"lblQTimerHour", "fraQuickTimer", {18, 63, 29, 18}, "00", "Hour"},
        {"lblQTimerMinute", "fraQuickTimer", {57, 63, 29, 18}, "00", "Minute"},
        {"scrollHours", "fraQuickTimer", {46, 60, 12, 22}, "", ""},
        {"scrollMinutes", "fraQuickTimer", {85, 60, 12, 22}, "", ""},
        {"scrollSeconds", "fraQuickTimer", {125, 60, 12, 22}, "", ""},
        {"Label1", "fraQuickTimer", {20, 38, 25, 18}, "h :", ""},
        {"Label2", "fraQuickTimer", {59, 38, 35, 18}, "min:", ""},
        {"Label3", "fraQuickTimer", {98, 38, 35, 18}, "sec:", ""},
        {"cmdCancel", "frmShutDown", {153, 50, 101, 38}, "Cancel", ""},
        {"lblStatus",
         "frmShutDown",
         {13, 20, 375, 16},
         "Your computer will automatically turn off in 30 seconds...",
         ""},
    };
    const auto describe = [](const QString &name, const QString &container, QRect pixels,
                             const QString &text, const QString &toolTip) {
        QString description;
        QDebug(&description) << name << "in" << container << pixels << text << toolTip;
        return description;
    };
    for (const auto &control : designed) {
        QWidget *widget = session.find(control.name);
        QVERIFY2(widget, control.name);
        QCOMPARE(describe(control.name, widget->parentWidget()->objectName(), widget->geometry(),
                          widget->property("text").toString(), widget->toolTip()),
                 describe(control.name, control.container, control.pixels, control.text,
                          control.toolTip));
    }
    for (const char *unit : {"Label1", "Label2", "Label3"})
        QVERIFY2(!session.find(unit)->isVisible(), unit);
    auto *hours = session.find<QLabel>("lblQTimerHour");
    QCOMPARE(hours->palette().color(QPalette::WindowText), QColor(64, 64, 64));
    QVERIFY(hours->alignment() & Qt::AlignHCenter);
    QVERIFY(hours->fontMetrics().horizontalAdvance(QStringLiteral("00")) <= hours->width());
}

void QtRuntimeTest::focus()
{
    // Real Tab presses: the frame and the labels never take the focus.
    Session session;
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, QStringList({"cmdStartQuickTimer", "MyButton2", "scrollHours",
                                   "scrollMinutes", "scrollSeconds", "cmdStartQuickTimer"}));
    session.run("start; tick"); // the warning opens with the focus on Cancel and keeps it there
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Tab}) {
        QTRY_COMPARE(QApplication::focusWidget(), session.find("cmdCancel"));
        QTest::keyClick(QApplication::focusWidget(), key);
    }
}

void QtRuntimeTest::frameCaptionBreaksItsLine()
{
    Session session;
    auto *frame = session.find<ui::qt::FrameBox>("fraQuickTimer");
    QCOMPARE(frame->caption(), QStringLiteral("Quick off timer"));
    const QImage image = frame->grab().toImage();
    const QRgb line = frame->palette().color(QPalette::Mid).rgb();
    const int lineY = frame->fontMetrics().height() / 2;
    const int captionEnd = 6 + frame->fontMetrics().horizontalAdvance(frame->caption());
    // The top line runs on both sides of the caption, which is written, dark, in the gap.
    QVERIFY(image.pixel(2, lineY) == line && image.pixel(captionEnd + 10, lineY) == line);
    int crossed = 0;
    int inked = 0;
    for (int x = 10; x < captionEnd; ++x) {
        crossed += image.pixel(x, lineY) == line;
        for (int y = 0; y < frame->fontMetrics().height(); ++y)
            inked += qGray(image.pixel(x, y)) < 100;
    }
    QVERIFY2(crossed == 0 && inked > 20, qPrintable(QString("%1 %2").arg(crossed).arg(inked)));
}

void QtRuntimeTest::buttonFace()
{
    Session session;
    auto *button = session.find<ui::qt::MyButton>("MyButton2");
    const auto face = [button] { return button->grab().toImage().pixelColor(1, 1); };
    const QColor normal = face();
    QCOMPARE(normal, button->palette().color(QPalette::Button));
    QCOMPARE(button->grab().toImage().pixelColor(0, 0), QColor(0, 0, 127)); // the border
    button->setDown(true);
    QCOMPARE(face(), QColor(175, 168, 207)); // lavender while pressed
    button->setDown(false);
    button->setEnabled(false);
    QCOMPARE(face(), normal);
    button->setEnabled(true);
    button->setState(true);
    QCOMPARE(face(), normal); // the state never shows
}

void QtRuntimeTest::badButtonSetsAreRefused()
{
    // Out of order or of the wrong type: a mistake in the window definitions, refused at once.
    using ui::ButtonProperties;
    QVERIFY_THROWS_EXCEPTION(std::logic_error, ButtonProperties::fromSaved(
                                                   {{"caption", ""}, {"backcolor", ui::Colour{}}}));
    QVERIFY_THROWS_EXCEPTION(std::logic_error,
                             ButtonProperties::fromSaved({{"pictureoffsety", 5}}));
}

void QtRuntimeTest::disabledPictures_data()
{
    QTest::addColumn<QString>("normal");
    QTest::addColumn<QString>("disabled");
    QTest::addColumn<int>("size");
    QTest::addColumn<QColor>("grey"); // none: each pixel's own lightness
    QTest::newRow("P3 from P1") << QString("P1") << QString("P3") << 24 << QColor();
    QTest::newRow("P4 from P2") << QString("P2") << QString("P4") << 24 << QColor();
    QTest::newRow("P7 from P6") << QString("P6") << QString("P7") << 16 << QColor(80, 87, 80);
}

void QtRuntimeTest::disabledPictures()
{
    // Every opaque pixel of the picture turns grey; every other one is transparent.
    QFETCH(QString, normal);
    QFETCH(QString, disabled);
    QFETCH(int, size);
    QFETCH(QColor, grey);
    const QImage from = ui::qt::Pictures::pixmap(normal.toStdString(), size).toImage();
    const QImage to = ui::qt::Pictures::pixmap(disabled.toStdString(), size).toImage();
    QCOMPARE(to.size(), QSize(size, size));
    int opaque = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const QColor a = from.pixelColor(x, y);
            const QColor b = to.pixelColor(x, y);
            const bool greyed = grey.isValid() ? b.rgb() == grey.rgb()
                                               : b.red() == b.green() && b.green() == b.blue();
            const bool right = a.alpha() < 128 ? b.alpha() == 0 : b.alpha() == 255 && greyed;
            QVERIFY2(right, qPrintable(QString("pixel %1, %2").arg(x).arg(y)));
            opaque += a.alpha() >= 128;
        }
    QVERIFY(opaque > size); // the picture is really drawn
}

void QtRuntimeTest::timer_data()
{
    QTest::addColumn<Qt::TimerType>("type");
    QTest::newRow("precise: the kernel's timer") << Qt::PreciseTimer;
    QTest::newRow("coarse: a QTimer") << Qt::CoarseTimer;
}

void QtRuntimeTest::timer()
{
    // What ticks come, briefly, in real time; how punctual they are is the benchmark's business.
    QFETCH(Qt::TimerType, type);
    ui::qt::TickTimer timer;
    QSignalSpy ticks(&timer, &ui::qt::TickTimer::timeout);
    timer.setTimerType(type);
    timer.setInterval(10000);
    timer.start();
    timer.setInterval(20); // restarts it
    QTRY_VERIFY(ticks.count() >= 2);
    // Ticks missed while the event loop was held up are dropped, not queued.
    QThread::msleep(130);
    ticks.clear();
    QTest::qWait(5);
    QVERIFY2(ticks.count() >= 1 && ticks.count() <= 2, qPrintable(QString::number(ticks.count())));
    // Stopped from its own tick: no tick comes after it, not even one already due.
    connect(&timer, &ui::qt::TickTimer::timeout, &timer, &ui::qt::TickTimer::stop);
    QTRY_VERIFY(!timer.isActive());
    const qsizetype stoppedAt = ticks.count();
    QThread::msleep(50);
    QTest::qWait(50);
    QCOMPARE(ticks.count(), stoppedAt);
    timer.setInterval(20);
    QVERIFY(!timer.isActive()); // a new interval does not start it again
}

QTEST_MAIN(QtRuntimeTest)
#include "tst_qtruntime.moc"
