#include "shownmainform.h"

#include <QHash>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include <memory>

namespace {

struct Spinner {
    const char *bar;
    const char *field;
    int limit;
};

const Spinner Spinners[] = {{"scrollHours", "lblQTimerHour", 23},
                            {"scrollMinutes", "lblQTimerMinute", 59},
                            {"scrollSeconds", "lblQTimerSecond", 59}};

} // namespace

class SpinnersTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void step_data();
    void step();
    void resetLeavesSpinnersWhereTheyWere();
    void dragReportsOnlyTheEnd();

private:
    QScrollBar *bar(const char *name) const { return m_main->find<QScrollBar>(name); }
    QString field(const char *name) const { return m_main->find<QLabel>(name)->text(); }

    std::unique_ptr<ShownMainForm> m_main;
};

void SpinnersTest::init()
{
    m_main = std::make_unique<ShownMainForm>();
    QVERIFY(QTest::qWaitForWindowActive(m_main->widget()));
}

void SpinnersTest::cleanup()
{
    m_main.reset();
}

void SpinnersTest::step_data()
{
    QTest::addColumn<int>("spinner");
    QTest::addColumn<int>("start"); // the position, set as the user would
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("shown");
    for (int i = 0; i < 3; ++i) {
        const Spinner &s = Spinners[i];
        const QString limit = QString::number(s.limit);
        auto row = [&](const char *what) -> QTestData & {
            return QTest::addRow("%s %s", s.bar, what);
        };
        row("upper arrow from the top wraps to 00") << i << s.limit << "upper arrow"
                                                    << "00";
        row("lower arrow from 0 wraps to the top") << i << 0 << "lower arrow" << limit;
        row("a mouse click on the upper arrow raises") << i << 4 << "click upper"
                                                       << "05";
        row("a mouse click on the lower arrow lowers") << i << 4 << "click lower"
                                                       << "03";
        row("Up key raises") << i << 9 << "Key_Up"
                             << "10";
        row("Down key lowers") << i << 10 << "Key_Down"
                               << "09";
        row("Page Up from the top wraps") << i << s.limit << "Key_PageUp"
                                          << "00";
        row("Page Down from 0 wraps") << i << 0 << "Key_PageDown" << limit;
        row("Home goes past the top and wraps to 00") << i << 7 << "Key_Home"
                                                      << "00";
        row("End goes past the bottom and wraps to the top") << i << 7 << "Key_End" << limit;
        row("the upper range end wraps to 00") << i << 3 << "set top end"
                                               << "00";
        row("the lower range end wraps to the top") << i << 3 << "set bottom end" << limit;
    }
}

void SpinnersTest::step()
{
    QFETCH(int, spinner);
    QFETCH(int, start);
    QFETCH(QString, action);
    QFETCH(QString, shown);
    const Spinner &s = Spinners[spinner];
    QScrollBar *scroll = bar(s.bar);

    m_main->form.window().scrollBar(s.bar).setPosition(start);
    QCOMPARE(field(s.field), QStringLiteral("%1").arg(start, 2, 10, QLatin1Char('0')));
    // The other fields hold other values, which no spinner may carry into or borrow from.
    QStringList others;
    for (const Spinner &other : Spinners)
        if (&other != &s) {
            m_main->form.window()
                .label(other.field)
                .setCaption("4" + std::to_string(others.size()));
            others << field(other.field);
        }

    static const QHash<QString, Qt::Key> Keys{
        {"Key_Up", Qt::Key_Up},         {"Key_Down", Qt::Key_Down},
        {"Key_PageUp", Qt::Key_PageUp}, {"Key_PageDown", Qt::Key_PageDown},
        {"Key_Home", Qt::Key_Home},     {"Key_End", Qt::Key_End}};
    scroll->setFocus();
    const int upperHalf = scroll->height() / 4;
    const int lowerHalf = scroll->height() * 3 / 4;
    if (action == "upper arrow")
        scroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (action == "lower arrow")
        scroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    else if (action == "click upper")
        QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(scroll->width() / 2, upperHalf));
    else if (action == "click lower")
        QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(scroll->width() / 2, lowerHalf));
    else if (action == "set top end")
        scroll->setValue(scroll->minimum());
    else if (action == "set bottom end")
        scroll->setValue(scroll->maximum());
    else
        QTest::keyClick(scroll, Keys.value(action));

    QCOMPARE(field(s.field), shown);
    const int position = m_main->form.window().scrollBar(s.bar).position();
    QCOMPARE(position, shown.toInt()); // the spinner itself ends in range, where its field says
    QStringList after;
    for (const Spinner &other : Spinners)
        if (&other != &s)
            after << field(other.field);
    QCOMPARE(after, others);
}

void SpinnersTest::resetLeavesSpinnersWhereTheyWere()
{
    m_main->form.window().scrollBar("scrollMinutes").setPosition(10);
    m_main->form.ShowQuickTimerSeconds(0);
    bar("scrollMinutes")->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(field("lblQTimerHour"), QStringLiteral("00"));
    QCOMPARE(field("lblQTimerMinute"), QStringLiteral("11"));
    QCOMPARE(field("lblQTimerSecond"), QStringLiteral("00"));
}

void SpinnersTest::dragReportsOnlyTheEnd()
{
    // While the thumb moves nothing changes; the field follows when it is let go.
    QScrollBar *scroll = bar("scrollSeconds");
    scroll->setSliderDown(true);
    scroll->setSliderPosition(scroll->minimum() + 10);
    QCOMPARE(field("lblQTimerSecond"), QStringLiteral("00"));
    scroll->setSliderDown(false);
    QCOMPARE(field("lblQTimerSecond"), QString::number(-(scroll->minimum() + 10)));
}

QTEST_MAIN(SpinnersTest)
#include "tst_spinners.moc"
