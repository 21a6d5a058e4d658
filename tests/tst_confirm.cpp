#include "session.h"

#include <QLabel>

class ConfirmTest : public QObject {
    Q_OBJECT

private slots:
    void use_data();
    void use() { Session::play(); }
    void longRefusalIsElided();
};

void ConfirmTest::use_data()
{
    Session::columns();
    Session::row("the first second", "start; tick", "00:00:00 Timer Off | warning 30");
    Session::row("1 keeps its plural", "start; tick; count 29", "00:00:00 Timer Off | warning 1");
    Session::row("at 0 it asks", "start; tick; count 30",
                 "00:00:00 Timer Off | warning 0 | asked 1");
    Session::row("once only", "start; tick; count 40", "00:00:00 Timer Off | warning 0 | asked 1");
    Session::row("Cancel at once", "start; tick; cancel; count 40", "00:00:00 Timer Off");
    Session::row("Cancel on the tick that showed 1", "start; tick; count 29; cancel; count 40",
                 "00:00:00 Timer Off");
    Session::row("the title bar's close", "start; tick; count 10; close; count 40",
                 "00:00:00 Timer Off");
    Session::row("Esc and Enter mean nothing",
                 "start; tick; key cmdCancel Esc; key cmdCancel Return; key cmdCancel Enter",
                 "00:00:00 Timer Off | warning 30");
    Session::row("Space presses Cancel", "start; tick; key cmdCancel Space; count 40",
                 "00:00:00 Timer Off");
    Session::row("every showing counts from 30", "start; tick; count 12; cancel; start; tick",
                 "00:00:00 Timer Off | warning 30");
    Session::row("and on from there", "start; tick; count 12; cancel; start; tick; count",
                 "00:00:00 Timer Off | warning 29");
    Session::row("a refusal is said", "refuse; start; tick; count 30",
                 "00:00:00 Timer Off | warning Could not turn off the computer: Access is denied "
                 "| asked 1");
    Session::row("Cancel closes it", "refuse; start; tick; count 30; cancel",
                 "00:00:00 Timer Off | asked 1");
    Session::row("a late refusal is said", "hold; start; tick; count 30; answer no",
                 "00:00:00 Timer Off | warning Could not turn off the computer: no | asked 1");
    Session::row("a late acceptance", "hold; start; tick; count 30; answer",
                 "00:00:00 Timer Off | warning 0 | asked 1");
    Session::row("a late answer after Cancel", "hold; start; tick; count 30; cancel; answer no",
                 "00:00:00 Timer Off | asked 1");
    Session::row("a late answer in the next showing",
                 "hold; start; tick; count 30; cancel; start; tick; answer no",
                 "00:00:00 Timer Off | warning 30 | asked 1");
}

void ConfirmTest::longRefusalIsElided()
{
    Session session;
    session.platform.refusal = "org.freedesktop.login1.BlockedByInhibitorLock: Operation "
                               "inhibited by \"backup\" (a long explanation that cannot fit)";
    session.run("refuse; start; tick; count 30");
    auto *status = session.find<QLabel>("lblStatus");
    QVERIFY2(status && session.warning(), "the warning did not open");
    const QString said = "Could not turn off the computer: ";
    QCOMPARE(status->toolTip(), said + QString::fromStdString(session.platform.refusal));
    QVERIFY2(status->text().startsWith(said) && status->text().endsWith(QChar(0x2026)),
             qPrintable(status->text()));
    QVERIFY(status->fontMetrics().horizontalAdvance(status->text()) <= status->width());
}

QTEST_MAIN(ConfirmTest)
#include "tst_confirm.moc"
