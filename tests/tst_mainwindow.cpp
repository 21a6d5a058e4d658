#include "shownmainform.h"
#include "ui/qt/framebox.h"
#include "ui/qt/mybutton.h"
#include "ui/qt/ticktimer.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <memory>

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void window();
    void controls_data();
    void controls();
    void growingMovesNothing();
    void frameCaptionInItsLine();
    void toolTips_data();
    void toolTips();
    void tabOrder();
    void freshWindow();

private:
    QWidget *form() const { return m_main->widget(); }
    template <typename T = QWidget> T *control(const char *name) const
    {
        return m_main->find<T>(name);
    }

    std::unique_ptr<ShownMainForm> m_main;
};

void MainWindowTest::init()
{
    m_main = std::make_unique<ShownMainForm>();
    QVERIFY(QTest::qWaitForWindowActive(form()));
}

void MainWindowTest::cleanup()
{
    m_main.reset();
}

void MainWindowTest::window()
{
    QCOMPARE(form()->windowTitle(), QStringLiteral("Veltrane"));
    QCOMPARE(form()->size(), QSize(292, 200));
    const Qt::WindowFlags flags = form()->windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(form()->minimumSize() != form()->maximumSize()); // the user may resize it
    QVERIFY(!form()->windowIcon().isNull());
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    const QPoint offCentre = form()->geometry().center() - screenCentre;
    QVERIFY(qAbs(offCentre.x()) <= 2 && qAbs(offCentre.y()) <= 2);
}

void MainWindowTest::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("frame") << "fraQuickTimer"
                           << "frmMain" << QRect(36, 33, 220, 127);
    QTest::newRow("toggle") << "cmdStartQuickTimer"
                            << "fraQuickTimer" << QRect(151, 72, 54, 43);
    QTest::newRow("reset") << "MyButton2"
                           << "fraQuickTimer" << QRect(151, 20, 54, 43);
    QTest::newRow("seconds") << "lblQTimerSecond"
                             << "fraQuickTimer" << QRect(98, 63, 29, 18);
    QTest::newRow("hours") << "lblQTimerHour"
                           << "fraQuickTimer" << QRect(18, 63, 29, 18);
    QTest::newRow("minutes") << "lblQTimerMinute"
                             << "fraQuickTimer" << QRect(57, 63, 29, 18);
    QTest::newRow("hours spinner") << "scrollHours"
                                   << "fraQuickTimer" << QRect(46, 60, 12, 22);
    QTest::newRow("minutes spinner") << "scrollMinutes"
                                     << "fraQuickTimer" << QRect(85, 60, 12, 22);
    QTest::newRow("seconds spinner") << "scrollSeconds"
                                     << "fraQuickTimer" << QRect(125, 60, 12, 22);
    QTest::newRow("h :") << "Label1"
                         << "fraQuickTimer" << QRect(20, 38, 25, 18);
    QTest::newRow("min:") << "Label2"
                          << "fraQuickTimer" << QRect(59, 38, 35, 18);
    QTest::newRow("sec:") << "Label3"
                          << "fraQuickTimer" << QRect(98, 38, 35, 18);
}

void MainWindowTest::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, pixels);
    QWidget *widget = control(qPrintable(name));
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), container);
    QCOMPARE(widget->geometry(), pixels);
}

void MainWindowTest::growingMovesNothing()
{
    form()->resize(600, 450);
    QTRY_COMPARE(form()->size(), QSize(600, 450));
    QCOMPARE(control("fraQuickTimer")->geometry(), QRect(36, 33, 220, 127));
    QCOMPARE(control("cmdStartQuickTimer")->geometry(), QRect(151, 72, 54, 43));
}

void MainWindowTest::frameCaptionInItsLine()
{
    auto *frame = control<ui::qt::FrameBox>("fraQuickTimer");
    QVERIFY(frame);
    QCOMPARE(frame->caption(), QStringLiteral("Quick off timer"));
    const QImage image = frame->grab().toImage();
    const int lineY = frame->fontMetrics().height() / 2;
    const QRgb line = frame->palette().color(QPalette::Mid).rgb();
    const int captionEnd = 6 + frame->fontMetrics().horizontalAdvance(frame->caption());
    // The top line runs left of the caption and after it, and is broken where the caption is.
    QCOMPARE(image.pixel(2, lineY), line);
    QCOMPARE(image.pixel(captionEnd + 10, lineY), line);
    for (int x = 10; x < captionEnd; ++x)
        QVERIFY2(image.pixel(x, lineY) != line, qPrintable(QString::number(x)));
    // The caption is written there, dark on the window's colour.
    int inked = 0;
    for (int y = 0; y < frame->fontMetrics().height(); ++y)
        for (int x = 8; x < captionEnd; ++x)
            inked += qGray(image.pixel(x, y)) < 100;
    QVERIFY2(inked > 20, qPrintable(QString::number(inked)));
}

void MainWindowTest::toolTips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("hours") << "lblQTimerHour"
                           << "Hour";
    QTest::newRow("minutes") << "lblQTimerMinute"
                             << "Minute";
    QTest::newRow("seconds") << "lblQTimerSecond"
                             << "Second";
    QTest::newRow("toggle") << "cmdStartQuickTimer"
                            << "Apply timer settings";
    QTest::newRow("reset") << "MyButton2"
                           << "Cancel timer settings";
}

void MainWindowTest::toolTips()
{
    QFETCH(QString, name);
    QFETCH(QString, toolTip);
    QCOMPARE(control(qPrintable(name))->toolTip(), toolTip);
}

void MainWindowTest::tabOrder()
{
    // Follow real Tab presses: the frame and the labels must never take the focus.
    QCOMPARE(QApplication::focusWidget(), control("cmdStartQuickTimer"));
    QStringList visited;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, QStringList({"MyButton2", "scrollHours", "scrollMinutes", "scrollSeconds",
                                   "cmdStartQuickTimer"}));
}

void MainWindowTest::freshWindow()
{
    for (const char *field : {"lblQTimerHour", "lblQTimerMinute", "lblQTimerSecond"}) {
        QCOMPARE(control<QLabel>(field)->text(), QStringLiteral("00"));
        QCOMPARE(control<QLabel>(field)->palette().color(QPalette::WindowText), QColor(64, 64, 64));
    }
    for (const char *spinner : {"scrollHours", "scrollMinutes", "scrollSeconds"})
        QCOMPARE(control<QScrollBar>(spinner)->value(), 0);
    auto *toggle = control<ui::qt::MyButton>("cmdStartQuickTimer");
    QCOMPARE(toggle->caption(), QStringLiteral("Timer Off"));
    QCOMPARE(toggle->state(), false);
    QCOMPARE(control<ui::qt::MyButton>("MyButton2")->caption(), QStringLiteral("Cancel"));
    for (const char *unit : {"Label1", "Label2", "Label3"}) {
        QVERIFY(control(unit));
        QVERIFY(!control(unit)->isVisible());
    }
    QCOMPARE(control<QLabel>("Label2")->text(), QStringLiteral("min:"));
    QVERIFY(!form()->findChild<ui::qt::TickTimer *>(QStringLiteral("tmrQuickTimer"))->isActive());
    // The digits fit their fields whichever face stands in.
    auto *hours = control<QLabel>("lblQTimerHour");
    QVERIFY(QFontMetrics(hours->font()).horizontalAdvance(QStringLiteral("00")) <= hours->width());
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
