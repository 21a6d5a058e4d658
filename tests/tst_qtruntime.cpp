#include "qt/contrast.h"
#include "qt/framebox.h"
#include "qt/mybutton.h"
#include "qt/pictures.h"
#include "qt/ticktimer.h"
#include "session.h"
#include "ui/buttonproperties.h"
#include "ui/forms.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <stdexcept>

class QtRuntimeTest : public QObject {
    Q_OBJECT

private slots:
    void layout();
    void frameCaptionBreaksItsLine();
    void focusShows();
    void buttons_data();
    void buttons();
    void captionsClearOfFocus();
    void digitsReadableOnAnyScheme();
    void screenReader();
    void disabledPictures_data();
    void disabledPictures();
    void timer();
    void onTheMainWindowsScreen();
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

    // Every control where its definition puts it, with its tooltip. Where it lies, a user sees
    // by what is read left to right, by where the desktop tests click, and by the digits fitting
    // their fields.
    for (const ui::WindowDefinition *window : {&ui::frmMain(), &ui::frmShutDown()})
        for (const ui::ControlDefinition &control : window->controls) {
            QWidget *widget = session.find(QString::fromStdString(control.name));
            const std::string container =
                control.container.empty() ? window->name : control.container;
            QVERIFY2(control.kind == ui::Kind::Timer ||
                         (widget && widget->toolTip().toStdString() == control.toolTip &&
                          widget->parentWidget()->objectName().toStdString() == container),
                     control.name.c_str());
        }
    for (const char *unit : {"Label1", "Label2", "Label3"})
        QVERIFY2(!session.find(unit)->isVisible(), unit);
    auto *hours = session.find<QLabel>("lblQTimerHour");
    QCOMPARE(hours->palette().color(QPalette::WindowText), QColor(64, 64, 64));
    QVERIFY(hours->alignment() & Qt::AlignHCenter);
    QVERIFY(hours->fontMetrics().horizontalAdvance(QStringLiteral("00")) <= hours->width());
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

void QtRuntimeTest::timer()
{
    // What ticks come, briefly, in real time; how punctual they are is the benchmark's business.
    ui::qt::TickTimer timer;
    QSignalSpy ticks(&timer, &ui::qt::TickTimer::timeout);
    timer.setInterval(10000);
    timer.start();
    timer.setInterval(20); // restarts it
    QTRY_VERIFY(ticks.count() >= 2);
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

void QtRuntimeTest::focusShows()
{
    // The focused button shows its frame from the start, not only after a key was pressed.
    Session session;
    const auto focusFrame = [&](const char *name) {
        return session.find(name)->grab().toImage().pixelColor(3, 10);
    };
    QVERIFY(focusFrame("cmdStartQuickTimer") != focusFrame("MyButton2"));
    // A focused spinner shows it around itself and its field.
    auto *frame = session.find<ui::qt::FrameBox>("fraQuickTimer");
    QVERIFY(!frame->focusArea().isValid());
    session.find("scrollMinutes")->setFocus();
    const QRect area = frame->focusArea();
    QCOMPARE(area, session.find("lblQTimerMinute")
                       ->geometry()
                       .united(session.find("scrollMinutes")->geometry())
                       .adjusted(-2, -2, 2, 2));
    const QImage image = frame->grab().toImage();
    const QColor behind = image.pixelColor(area.center().x(), area.top() - 2);
    QVERIFY(image.pixelColor(area.center().x(), area.top()) != behind);
}

void QtRuntimeTest::buttons_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QString>("look"); // "normal", "down", "disabled", or "on" (the state)
    QTest::addColumn<QColor>("face");  // on the light scheme: as defined; none on the dark one
    const QColor button = QApplication::palette().color(QPalette::Button);
    const QColor lavender(175, 168, 207);
    for (const bool dark : {false, true})
        for (const auto &[look, face] : {std::pair("normal", button),
                                         {"down", lavender},
                                         {"disabled", button},
                                         {"on", button}})
            QTest::addRow("%s, %s", dark ? "dark" : "light", look)
                << dark << QString(look) << (dark ? QColor() : face);
}

void QtRuntimeTest::buttons()
{
    // Run again by CTest with QT_SCALE_FACTOR 1.5 and 2. On either scheme, in every look: the
    // border whole, standing out 3 : 1 from the face, the caption 4.5 : 1 and inside the border
    // with room to spare; the state never shows; pictures drawn at the screen's pixels.
    QFETCH(bool, dark);
    QFETCH(QString, look);
    QFETCH(QColor, face);
    const QPalette light = QApplication::palette();
    QPalette scheme = light;
    if (dark)
        for (const auto &[role, colour] : {std::pair(QPalette::Window, QColor(45, 45, 48)),
                                           {QPalette::Button, {53, 53, 56}},
                                           {QPalette::WindowText, {230, 230, 230}},
                                           {QPalette::ButtonText, {230, 230, 230}}})
            scheme.setColor(role, colour);
    QApplication::setPalette(scheme);
    Session session;
    session.run("start; tick");
    QApplication::setPalette(light);
    for (const char *name : {"cmdStartQuickTimer", "MyButton2", "cmdCancel"}) {
        auto *button = session.find<ui::qt::MyButton>(name);
        button->setDown(look == "down");
        button->setEnabled(look != "disabled");
        button->setState(look == "on");
        const QImage image = button->grab().toImage();
        const int w = image.width();
        const int h = image.height();
        const QColor border = image.pixelColor(0, 0);
        const QColor inside = image.pixelColor(qCeil(button->devicePixelRatioF()), h / 2);
        if (face.isValid() && QByteArray(name) != "cmdStartQuickTimer")
            QCOMPARE(QList<QColor>({inside, border}), QList<QColor>({face, QColor(0, 0, 127)}));
        QVERIFY(ui::qt::contrast(border, inside) >= ui::BorderContrast);
        // A disabled caption is greyed on purpose.
        QVERIFY(look == "disabled" ||
                ui::qt::contrast(inside, button->palette().color(QPalette::ButtonText)) >=
                    ui::TextContrast);
        for (const QPoint edge :
             {QPoint(w / 2, 0), QPoint(w / 2, h - 1), QPoint(0, h / 2), QPoint(w - 1, h / 2)})
            QVERIFY2(image.pixelColor(edge) == border,
                     qPrintable(
                         QString("%1: no border at %2, %3").arg(name).arg(edge.x()).arg(edge.y())));
        // Between the border and two pixels in, on either side, nothing but the face; pressed,
        // the caption moves a pixel.
        const qreal ratio = button->devicePixelRatioF();
        for (int y = h / 2; look != "down" && y < h - qCeil(ratio); ++y)
            for (int x = qCeil(ratio); x < qFloor(3 * ratio); ++x) // the focus frame lies beyond
                QVERIFY2(image.pixelColor(x, y) == inside &&
                             image.pixelColor(w - 1 - x, y) == inside,
                         qPrintable(QString("%1: the caption reaches %2 pixels from the edge")
                                        .arg(name)
                                        .arg(x)));
        // A picture scaled up from its own pixels would be made of blocks of one colour.
        int mixed = 0;
        for (int y = 8; ratio == 2 && look != "disabled" && y < 40; y += 2)
            for (int x = w / 2 - 16; x < w / 2 + 16; x += 2)
                mixed += image.pixelColor(x, y) != image.pixelColor(x + 1, y + 1);
        QVERIFY2(ratio != 2 || look == "disabled" || mixed > 25,
                 qPrintable(QString("%1: %2 blocks").arg(name).arg(mixed)));
    }
}

void QtRuntimeTest::captionsClearOfFocus()
{
    // Run again at 150 % and 200 % too. A button's picture and caption keep a pixel away from
    // its focus frame, found where focus changes what is drawn.
    Session session;
    const auto drawn = [&](const char *name, bool focused) {
        QWidget *button = session.find(name);
        QApplication::setActiveWindow(button->window());
        if (focused)
            button->setFocus();
        else
            button->clearFocus();
        return button->grab().toImage();
    };
    const auto check = [&](const char *name) {
        const QImage without = drawn(name, false);
        const QImage with = drawn(name, true);
        const int border = qCeil(with.devicePixelRatio());
        // A focused face may have a colour of its own.
        const QRgb focusedFace = with.pixel(border, with.height() / 2);
        QRect frame;
        for (int y = border; y < with.height() - border; ++y)
            for (int x = border; x < with.width() - border; ++x)
                if (with.pixel(x, y) != without.pixel(x, y) && with.pixel(x, y) != focusedFace)
                    frame |= QRect(x, y, 1, 1);
        const QRect clear = frame.adjusted(border + 1, border + 1, -border - 1, -border - 1);
        const QColor face = without.pixelColor(border, with.height() / 2);
        for (int y = border; y < with.height() - border; ++y)
            for (int x = border; x < with.width() - border; ++x)
                QVERIFY2(clear.contains(x, y) || without.pixelColor(x, y) == face,
                         qPrintable(QString("%1: drawn at %2, %3, by its focus frame %4, %5")
                                        .arg(name)
                                        .arg(x)
                                        .arg(y)
                                        .arg(frame.left())
                                        .arg(frame.top())));
    };
    check("cmdStartQuickTimer");
    check("MyButton2");
    session.run("start; tick");
    check("cmdCancel");
}

void QtRuntimeTest::digitsReadableOnAnyScheme()
{
    // The time fields' dark grey stands out 4.5 : 1 from what is painted behind it, on the
    // pixels; on a dark scheme the scheme's light text stands in for it.
    QPalette dark = QApplication::palette();
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    for (const QPalette &palette : {QApplication::palette(), dark}) {
        const QPalette before = QApplication::palette();
        QApplication::setPalette(palette);
        Session session;
        QApplication::setPalette(before);
        const QImage digits = session.find("lblQTimerHour")->grab().toImage();
        double strongest = 0;
        for (int y = 0; y < digits.height(); ++y)
            for (int x = 0; x < digits.width(); ++x)
                strongest = qMax(
                    strongest, ui::qt::contrast(digits.pixelColor(x, y), digits.pixelColor(0, 0)));
        QVERIFY2(strongest >= ui::TextContrast, qPrintable(QString::number(strongest)));
    }
}

void QtRuntimeTest::screenReader()
{
    // What Orca makes of it is heard in the orca suite; here what it reads from.
    Session session;
    session.run("set 05:00:59; up scrollHours; start");
    QAccessibleValueInterface *hours =
        QAccessible::queryAccessibleInterface(session.find("scrollHours"))->valueInterface();
    QCOMPARE(hours->currentValue().toInt(), 6);
    QCOMPARE(hours->minimumValue().toInt(), 0);
    QCOMPARE(hours->maximumValue().toInt(), 23);
    // Read left to right: each field, then its spinner; then the buttons.
    QAccessibleInterface *frame =
        QAccessible::queryAccessibleInterface(session.find("fraQuickTimer"));
    QStringList order;
    for (int i = 0; i < frame->childCount(); ++i)
        if (!frame->child(i)->state().invisible)
            order << frame->child(i)->object()->objectName();
    QCOMPARE(order,
             QStringList({"lblQTimerHour", "scrollHours", "lblQTimerMinute", "scrollMinutes",
                          "lblQTimerSecond", "scrollSeconds", "MyButton2", "cmdStartQuickTimer"}));
    // The start button is a toggle, pressed while the countdown runs; the other a push button.
    const auto state = [&](const char *name) {
        return QAccessible::queryAccessibleInterface(session.find(name))->state();
    };
    QVERIFY(state("cmdStartQuickTimer").checkable && state("cmdStartQuickTimer").pressed);
    session.run("reset");
    QVERIFY(!state("cmdStartQuickTimer").pressed && !state("MyButton2").checkable);
}

void QtRuntimeTest::onTheMainWindowsScreen()
{
    // With two screens (a run of its own gives them), the warning opens on the main window's.
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        QSKIP("one screen");
    Session session;
    session.main()->move(screens[1]->availableGeometry().center() - QPoint(100, 100));
    session.run("start; tick");
    QVERIFY(session.warning());
    const QPoint offCentre =
        session.warning()->geometry().center() - screens[1]->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 4, qPrintable(session.warning()->screen()->name()));
}

QTEST_MAIN(QtRuntimeTest)
#include "tst_qtruntime.moc"
