#include "memoryruntime.h"
#include "recordingplatform.h"
#include "timer/fieldtext.h"
#include "timer/mainform.h"

#include <QTest>

class TimeFieldsTest : public QObject {
    Q_OBJECT

private slots:
    void readsFields_data();
    void readsFields();
    void writesFields_data();
    void writesFields();
    void roundTrip();
    void badTextIsAnError_data();
    void badTextIsAnError();
    void errorInAHandlerIsFatal();

private:
    void setFields(timer::MainForm &form, const char *h, const char *m, const char *s);
};

void TimeFieldsTest::setFields(timer::MainForm &form, const char *h, const char *m, const char *s)
{
    form.window().label("lblQTimerHour").setCaption(h);
    form.window().label("lblQTimerMinute").setCaption(m);
    form.window().label("lblQTimerSecond").setCaption(s);
}

void TimeFieldsTest::readsFields_data()
{
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<int>("total");
    QTest::newRow("zero") << "00"
                          << "00"
                          << "00" << 0;
    QTest::newRow("largest") << "23"
                             << "59"
                             << "59" << 86399;
    QTest::newRow("an hour") << "01"
                             << "00"
                             << "00" << 3600;
    QTest::newRow("a minute") << "00"
                              << "01"
                              << "00" << 60;
    QTest::newRow("unwrapped hours") << "24"
                                     << "00"
                                     << "00" << 86400;
    QTest::newRow("three digits") << "100"
                                  << "00"
                                  << "05" << 360005;
}

void TimeFieldsTest::readsFields()
{
    QFETCH(QString, hours);
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    QFETCH(int, total);
    MemoryRuntime runtime;
    RecordingPlatform platform;
    timer::MainForm form(runtime, platform);
    setFields(form, qPrintable(hours), qPrintable(minutes), qPrintable(seconds));
    QCOMPARE(form.GetQuickTimerSeconds(), total);
}

void TimeFieldsTest::writesFields_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("shown");
    QTest::newRow("0") << 0 << "00:00:00";
    QTest::newRow("59") << 59 << "00:00:59";
    QTest::newRow("60") << 60 << "00:01:00";
    QTest::newRow("3599") << 3599 << "00:59:59";
    QTest::newRow("3600") << 3600 << "01:00:00";
    QTest::newRow("86399") << 86399 << "23:59:59";
    QTest::newRow("86400 keeps its hours") << 86400 << "24:00:00";
    QTest::newRow("hundreds of hours") << 360005 << "100:00:05";
}

void TimeFieldsTest::writesFields()
{
    QFETCH(int, total);
    QFETCH(QString, shown);
    MemoryRuntime runtime;
    RecordingPlatform platform;
    timer::MainForm form(runtime, platform);
    form.ShowQuickTimerSeconds(total);
    ui::Window &window = form.window();
    const QString fields = QString::fromStdString(window.label("lblQTimerHour").caption() + ":" +
                                                  window.label("lblQTimerMinute").caption() + ":" +
                                                  window.label("lblQTimerSecond").caption());
    QCOMPARE(fields, shown);
}

void TimeFieldsTest::roundTrip()
{
    MemoryRuntime runtime;
    RecordingPlatform platform;
    timer::MainForm form(runtime, platform);
    for (int total = 0; total <= 100000; ++total) {
        form.ShowQuickTimerSeconds(total);
        if (form.GetQuickTimerSeconds() != total)
            QFAIL(qPrintable(
                QStringLiteral("%1 came back as %2").arg(total).arg(form.GetQuickTimerSeconds())));
    }
    form.ShowQuickTimerSeconds(2147483647);
    QCOMPARE(form.GetQuickTimerSeconds(), 2147483647);
}

void TimeFieldsTest::badTextIsAnError_data()
{
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("message");
    QTest::newRow("letters") << "ab"
                             << "00"
                             << "Type mismatch";
    QTest::newRow("empty") << ""
                           << "00"
                           << "Type mismatch";
    QTest::newRow("fraction") << "1.5"
                              << "00"
                              << "Type mismatch";
    QTest::newRow("two signs") << "+-1"
                               << "00"
                               << "Type mismatch";
    QTest::newRow("hours overflow the product") << "596524"
                                                << "00"
                                                << "Overflow";
    QTest::newRow("text beyond 32 bits") << "99999999999"
                                         << "00"
                                         << "Overflow";
    QTest::newRow("the sum overflows") << "596523"
                                       << "2147483647"
                                       << "Overflow";
}

void TimeFieldsTest::badTextIsAnError()
{
    QFETCH(QString, hours);
    QFETCH(QString, seconds);
    QFETCH(QString, message);
    MemoryRuntime runtime;
    RecordingPlatform platform;
    timer::MainForm form(runtime, platform);
    setFields(form, qPrintable(hours), "00", qPrintable(seconds));
    try {
        form.GetQuickTimerSeconds();
        QFAIL("no error");
    } catch (const timer::FieldError &error) {
        QVERIFY2(QString::fromUtf8(error.what()).startsWith(message), error.what());
    }
    // Blanks and a sign are still numbers.
    QCOMPARE(timer::fieldValue(" 12 "), 12);
    QCOMPARE(timer::fieldValue("+7"), 7);
    QCOMPARE(timer::fieldValue("-3"), -3);
}

void TimeFieldsTest::errorInAHandlerIsFatal()
{
    MemoryRuntime runtime;
    RecordingPlatform platform;
    timer::MainForm form(runtime, platform);
    auto &window = static_cast<MemoryWindow &>(form.window());
    setFields(form, "xx", "00", "05");
    window.click("cmdStartQuickTimer");
    window.tick("tmrQuickTimer");
    QCOMPARE(runtime.fatalErrors.size(), std::size_t{1});
    QVERIFY(runtime.fatalErrors.front().find("xx") != std::string::npos);
}

QTEST_GUILESS_MAIN(TimeFieldsTest)
#include "tst_timefields.moc"
