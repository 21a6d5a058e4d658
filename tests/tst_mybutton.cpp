#include "ui/buttonproperties.h"
#include "ui/forms.h"
#include "ui/qt/mybutton.h"
#include "ui/qt/pictures.h"
#include "ui/qt/qtruntime.h"

#include <QSignalSpy>
#include <QTest>

#include <stdexcept>

class MyButtonTest : public QObject {
    Q_OBJECT

private slots:
    void stateFlipsBeforeTheClick();
    void stateSetFalseThenClick();
    void spaceClicksEnterDoesNot();
    void faceFollowsTheLook();
    void savedSets_data();
    void savedSets();
    void everyDefinedSetReads();
    void disabledPictures_data();
    void disabledPictures();

private:
    ui::ButtonProperties properties() const
    {
        return ui::ButtonProperties::fromSaved(ui::frmMain().controls[2].properties);
    }
};

void MyButtonTest::stateFlipsBeforeTheClick()
{
    ui::qt::QtRuntime runtime;
    ui::qt::MyButton button(properties(), runtime);
    QList<bool> seen;
    connect(&button, &QAbstractButton::clicked, &button, [&] { seen << button.state(); });
    QCOMPARE(button.state(), false);
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(seen, QList<bool>({true, false}));
}

void MyButtonTest::stateSetFalseThenClick()
{
    ui::qt::QtRuntime runtime;
    ui::qt::MyButton button(properties(), runtime);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(button.state(), true);
    button.setProperty("state", false);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(button.state(), true);
    button.setProperty("caption", QStringLiteral("Timer On"));
    QCOMPARE(button.text(), QStringLiteral("Timer On"));
}

void MyButtonTest::spaceClicksEnterDoesNot()
{
    ui::qt::QtRuntime runtime;
    ui::qt::MyButton button(properties(), runtime);
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QTest::keyClick(&button, Qt::Key_Space);
    QTest::keyClick(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_Enter);
    QCOMPARE(clicks.count(), 1);
}

void MyButtonTest::faceFollowsTheLook()
{
    ui::qt::QtRuntime runtime;
    ui::qt::MyButton button(properties(), runtime);
    const QColor lavender(175, 168, 207);
    QCOMPARE(button.faceColour(), runtime.colour(ui::ButtonFace));
    button.setDown(true);
    QCOMPARE(button.faceColour(), lavender);
    button.setDown(false);
    button.setEnabled(false);
    QCOMPARE(button.faceColour(), runtime.colour(ui::ButtonFace));
    // The state never shows: a button that is on looks like one that is off.
    button.setEnabled(true);
    button.setState(true);
    QCOMPARE(button.faceColour(), runtime.colour(ui::ButtonFace));
}

void MyButtonTest::savedSets_data()
{
    QTest::addColumn<QString>("missing");
    QTest::newRow("appearancemode") << "appearancemode";
    QTest::newRow("caption") << "caption";
    QTest::newRow("backcolordown") << "backcolordown";
    QTest::newRow("pictureoffsety") << "pictureoffsety";
}

void MyButtonTest::savedSets()
{
    // A key the set lacks takes the control's default; the rest are read as saved.
    QFETCH(QString, missing);
    std::vector<ui::SavedProperty> set = ui::frmMain().controls[2].properties;
    std::erase_if(set, [&](const ui::SavedProperty &p) { return p.key == missing.toStdString(); });
    const ui::ButtonProperties defaults;
    const ui::ButtonProperties read = ui::ButtonProperties::fromSaved(set);
    if (missing == "appearancemode")
        QCOMPARE(read.appearanceMode, defaults.appearanceMode);
    else if (missing == "caption")
        QCOMPARE(read.caption, defaults.caption);
    else if (missing == "backcolordown")
        QCOMPARE(read.backColorDown.value, defaults.backColorDown.value);
    else
        QCOMPARE(read.pictureOffsetY, defaults.pictureOffsetY);
    QCOMPARE(read.borderColor.value, 0x007F0000u);
    QCOMPARE(read.picture.name, std::string("P1"));

    // Out of order or of the wrong type is a mistake in the definitions.
    std::vector<ui::SavedProperty> swapped{{"caption", std::string("x")},
                                           {"backcolor", ui::ButtonFace}};
    QVERIFY_THROWS_EXCEPTION(std::logic_error, ui::ButtonProperties::fromSaved(swapped));
    std::vector<ui::SavedProperty> wrongType{{"pictureoffsety", std::int32_t{-5}}};
    QVERIFY_THROWS_EXCEPTION(std::logic_error, ui::ButtonProperties::fromSaved(wrongType));
}

void MyButtonTest::everyDefinedSetReads()
{
    // Both windows' buttons: the saved keys appear in the control's order with their types.
    for (const ui::WindowDefinition *window : {&ui::frmMain(), &ui::frmShutDown()})
        for (const ui::ControlDefinition &control : window->controls)
            if (control.kind == ui::Kind::Button) {
                const auto read = ui::ButtonProperties::fromSaved(control.properties);
                QCOMPARE(read.pictureOffsetY, std::int16_t{-5});
                QVERIFY(!read.caption.empty());
            }
}

void MyButtonTest::disabledPictures_data()
{
    QTest::addColumn<QString>("normal");
    QTest::addColumn<QString>("disabled");
    QTest::addColumn<int>("size");
    QTest::addColumn<QColor>("grey");
    QTest::newRow("P3 from P1") << "P1"
                                << "P3" << 24 << QColor();
    QTest::newRow("P4 from P2") << "P2"
                                << "P4" << 24 << QColor();
    QTest::newRow("P7 from P6") << "P6"
                                << "P7" << 16 << QColor(80, 87, 80);
}

void MyButtonTest::disabledPictures()
{
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
            if (a.alpha() < 128) {
                QCOMPARE(b.alpha(), 0);
                continue;
            }
            ++opaque;
            QCOMPARE(b.alpha(), 255);
            if (grey.isValid())
                QCOMPARE(b.rgb(), grey.rgb());
            else
                QVERIFY(b.red() == b.green() && b.green() == b.blue());
        }
    QVERIFY(opaque > size); // the picture is really drawn
}

QTEST_MAIN(MyButtonTest)
#include "tst_mybutton.moc"
