// The lighting page clicked as a user does, offscreen: what it sends for
// each mode, slider, preset and wheel pick, per model, and what it shows
// of the lighting record the mouse holds.
#include "device/DeviceMetaTypes.h"
#include "pages/ColorWheel.h"
#include "pages/LightSettingWidget.h"
#include "pages/MoveSlider.h"
#include "store/TextTable.h"
#include "support/PageInput.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

using Sent = QList<QPair<bool, int>>;

// (zone, value) of every emission of a (bool, int) signal.
Sent sent(const QSignalSpy &spy)
{
    Sent out;
    for (const QVariantList &args : spy)
        out << qMakePair(args.at(0).toBool(), args.at(1).toInt());
    return out;
}

QList<COLORREF> colours(const QSignalSpy &spy)
{
    QList<COLORREF> out;
    for (const QVariantList &args : spy)
        out << args.at(1).value<QList<COLORREF>>();
    return out;
}

constexpr COLORREF rgb(int r, int g, int b)
{
    return COLORREF(r) | COLORREF(g) << 8 | COLORREF(b) << 16;
}

// A record: the first zone (wheel) and the second, each mode, speed, brightness and colour.
LightColorParam record(int wheelMode, int wheelSpeed, int wheelDegree, QColor wheelColour, int mode, int speed,
                       int degree, QColor colour)
{
    LightColorParam p;
    std::memset(&p, 0, sizeof p);
    p.wheelMode = BYTE(wheelMode);
    p.wheelSpeed = BYTE(wheelSpeed);
    p.wheelDegree = BYTE(wheelDegree);
    p.wheelColors[0] = BYTE(wheelColour.red());
    p.wheelColors[1] = BYTE(wheelColour.green());
    p.wheelColors[2] = BYTE(wheelColour.blue());
    p.lightMode = BYTE(mode);
    p.breathSpeed = BYTE(speed);
    p.lightDegree = BYTE(degree);
    p.colors[0] = BYTE(colour.red());
    p.colors[1] = BYTE(colour.green());
    p.colors[2] = BYTE(colour.blue());
    return p;
}

} // namespace

Q_DECLARE_METATYPE(Sent)

class TestLightSettingWidget : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<LightSettingWidget> m_page;

    // A page for a model, filled with a record, shown.
    void makePage(int mouseType, const LightColorParam &param)
    {
        m_page = std::make_unique<LightSettingWidget>();
        m_page->setMouseType(mouseType);
        m_page->slot_SetLightParameter(param);
        m_page->show();
    }
    template <typename T>
    T *child(const char *name) const
    {
        return namedChild<T>(m_page.get(), name);
    }
    QRadioButton *radio(int mode) const
    {
        const char *names[] = {"CloseLightModeRadioButton", "ContinueLightModeRadioButton", "BrethModeRaioButton",
                               "ApmBreathModeRaidoButton", "LightCirleRaioButton"};
        return child<QRadioButton>(names[mode]);
    }
    // The mode the page shows: a checked radio, 5 for the colourful box, -1 for none.
    int shownMode() const
    {
        for (int mode = 0; mode < 5; ++mode)
            if (radio(mode)->isChecked())
                return mode;
        return child<QCheckBox>("ColorIntrigueCheckBox_2")->isChecked() ? 5 : -1;
    }
    QColor swatch() const { return child<QLabel>("CurrentColorLabel")->property("rgb").value<QColor>(); }

private slots:
    void initTestCase()
    {
        TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), TextTable::kChineseSlot);
        registerDeviceMetaTypes();
    }

    void cleanup() { m_page.reset(); }

    void zonesPerModel_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<bool>("zoneButtons");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("colourful");
        QTest::addColumn<int>("breathMaximum");
        QTest::newRow("Lanner: logo and strip") << 18 << true << "LOGO灯"
                                                << "灯带" << true << 9;
        QTest::newRow("Harrier: wheel and strip") << 19 << true << "滚轮灯"
                                                  << "灯带" << true << 9;
        QTest::newRow("Saker: wheel and logo") << 4 << true << "滚轮灯"
                                               << "Logo灯" << true << 9;
        QTest::newRow("Falcon: no colourful box") << 2 << true << "滚轮灯"
                                                  << "Logo灯" << false << 9;
        QTest::newRow("Wren") << 13 << true << "滚轮灯"
                              << "Logo灯" << false << 9;
        QTest::newRow("Kestrel: one light") << 11 << false << ""
                                            << "" << false << 4;
        QTest::newRow("KestrelEU: one light") << 14 << false << ""
                                              << "" << false << 4;
    }

    void zonesPerModel()
    {
        QFETCH(int, mouseType);
        QFETCH(bool, zoneButtons);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, colourful);
        QFETCH(int, breathMaximum);
        makePage(mouseType, record(1, 0, 5, Qt::red, 2, 1, 7, Qt::blue));
        auto *wheel = child<QPushButton>("WheelLightButton");
        auto *logo = child<QPushButton>("LogoLightButton");
        QCOMPARE(wheel->isVisible(), zoneButtons);
        QCOMPARE(logo->isVisible(), zoneButtons);
        QCOMPARE(child<QLabel>("SingleZoneLabel")->isVisible(), !zoneButtons);
        if (zoneButtons) {
            QCOMPARE(wheel->text(), first);
            QCOMPARE(logo->text(), second);
        }
        QCOMPARE(child<QCheckBox>("ColorIntrigueCheckBox_2")->isVisible(), colourful);
        QCOMPARE(child<MoveSlider>("BreathSlider")->maximum(), breathMaximum);
        QCOMPARE(child<MoveSlider>("ContinueLightSlider")->maximum(), 9);

        // Two zones leave the first selected; one light edits the second zone's record.
        QCOMPARE(m_page->isWheelZoneSelected(), zoneButtons);
        const bool firstZone = zoneButtons;
        QCOMPARE(shownMode(), firstZone ? 1 : 2);
        QCOMPARE(child<MoveSlider>("ContinueLightSlider")->value(), firstZone ? 5 : 7);
        QCOMPARE(child<MoveSlider>("BreathSlider")->value(), breathMaximum - (firstZone ? 0 : 1));
        QCOMPARE(swatch(), firstZone ? QColor(Qt::red) : QColor(Qt::blue));

        QSignalSpy mode(m_page.get(), &LightSettingWidget::sig_MouseLightMode);
        clickNamed(m_page.get(), "LightCirleRaioButton");
        QCOMPARE(sent(mode), (Sent{{firstZone, 4}}));
    }

    // The five modes are one exclusive group per zone: after any click
    // exactly one mode shows, the one clicked; clicking it again keeps it;
    // and the selected zone stays highlighted.
    void modesAreExclusive_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<bool>("wheelZone");
        QTest::newRow("Kestrel, its one light") << 11 << false;
        QTest::newRow("Harrier, wheel") << 19 << true;
        QTest::newRow("Harrier, strip") << 19 << false;
        QTest::newRow("Wren, logo") << 13 << false;
    }

    void modesAreExclusive()
    {
        QFETCH(int, mouseType);
        QFETCH(bool, wheelZone);
        makePage(mouseType, record(1, 3, 5, Qt::red, 2, 7, 8, QColor(10, 20, 30)));
        if (mouseType != 11)
            clickNamed(m_page.get(), wheelZone ? "WheelLightButton" : "LogoLightButton");
        QPushButton *zoneButton = child<QPushButton>(wheelZone ? "WheelLightButton" : "LogoLightButton");
        for (int first = 0; first < 5; ++first) {
            for (int next : {first, (first + 2) % 5, (first + 3) % 5}) {
                for (int mode : {first, next})
                    QTest::mouseClick(radio(mode), Qt::LeftButton, Qt::NoModifier, QPoint(6, radio(mode)->height() / 2));
                int checked = 0;
                for (int mode = 0; mode < 5; ++mode)
                    checked += radio(mode)->isChecked() ? 1 : 0;
                QCOMPARE(checked, 1);
                QCOMPARE(shownMode(), next);
                if (mouseType != 11)
                    QVERIFY(zoneButton->isChecked());
            }
        }
    }

    void switchingZonesShowsEachZone()
    {
        makePage(19, record(1, 3, 5, Qt::red, 2, 7, 8, QColor(10, 20, 30)));
        QSignalSpy mode(m_page.get(), &LightSettingWidget::sig_MouseLightMode);
        QSignalSpy degree(m_page.get(), &LightSettingWidget::sig_MouseContinueLightDegree);
        clickNamed(m_page.get(), "LogoLightButton");
        QVERIFY(!m_page->isWheelZoneSelected());
        QCOMPARE(shownMode(), 2);
        QCOMPARE(child<MoveSlider>("BreathSlider")->value(), 9 - 7);
        QCOMPARE(child<MoveSlider>("ContinueLightSlider")->value(), 8);
        QCOMPARE(swatch(), QColor(10, 20, 30));
        QCOMPARE(child<MoveSlider>("Red_Slider")->value(), 10);
        QCOMPARE(child<QLabel>("Blue_Slider_Value")->text(), QStringLiteral("30"));
        // Showing a zone sends nothing.
        QCOMPARE(mode.count() + degree.count(), 0);

        // What is changed in one zone stays with it.
        clickNamed(m_page.get(), "ContinueLightModeRadioButton");
        clickNamed(m_page.get(), "WheelLightButton");
        QCOMPARE(shownMode(), 1);
        clickNamed(m_page.get(), "LogoLightButton");
        QCOMPARE(shownMode(), 1);
        QCOMPARE(sent(mode), (Sent{{false, 1}}));
    }

    void colourfulSpansBothZones_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<Sent>("breathing"); // breathing chosen in the first zone, colourful on
        QTest::newRow("Saker") << 4 << Sent{{false, 2}, {true, 2}};
        QTest::newRow("SakerS") << 6 << Sent{{false, 2}, {true, 2}};
        QTest::newRow("Lanner") << 18 << Sent{{false, 2}, {true, 2}};
        QTest::newRow("Harrier") << 19 << Sent{{false, 2}, {true, 2}};
        // Without the effect a stray 5 in the record moves nothing else.
        QTest::newRow("Falcon") << 2 << Sent{{true, 2}};
    }

    void colourfulSpansBothZones()
    {
        QFETCH(int, mouseType);
        QFETCH(Sent, breathing);
        makePage(mouseType, record(5, 0, 9, Qt::white, 5, 0, 9, Qt::white));
        QSignalSpy mode(m_page.get(), &LightSettingWidget::sig_MouseLightMode);
        auto *box = child<QCheckBox>("ColorIntrigueCheckBox_2");
        if (box->isVisible()) {
            QCOMPARE(shownMode(), 5);
            for (int m = 0; m < 5; ++m)
                QVERIFY(!radio(m)->isChecked());
        }

        clickNamed(m_page.get(), "BrethModeRaioButton");
        QCOMPARE(sent(mode), breathing);
        QCOMPARE(shownMode(), 2);
        if (!box->isVisible())
            return;

        // On for both zones, and off falls back to the spectrum cycle in both.
        mode.clear();
        clickNamed(m_page.get(), "ColorIntrigueCheckBox_2");
        QCOMPARE(sent(mode), (Sent{{false, 5}, {true, 5}}));
        QCOMPARE(shownMode(), 5);
        mode.clear();
        clickNamed(m_page.get(), "ColorIntrigueCheckBox_2");
        QCOMPARE(sent(mode), (Sent{{false, 4}, {true, 4}}));
        QCOMPARE(shownMode(), 4);
        clickNamed(m_page.get(), "LogoLightButton");
        QCOMPARE(shownMode(), 4);

        // Colourful left from the second zone moves the first zone first.
        clickNamed(m_page.get(), "ColorIntrigueCheckBox_2");
        mode.clear();
        clickNamed(m_page.get(), "CloseLightModeRadioButton");
        QCOMPARE(sent(mode), (Sent{{true, 0}, {false, 0}}));
    }

    void breathingSpeedRunsSlowToFast_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<bool>("zone");
        QTest::newRow("Kestrel: 0..4") << 11 << 4 << false;
        QTest::newRow("Harrier: 0..9") << 19 << 9 << true;
    }

    void breathingSpeedRunsSlowToFast()
    {
        QFETCH(int, mouseType);
        QFETCH(int, maximum);
        QFETCH(bool, zone);
        makePage(mouseType, record(2, 1, 0, Qt::white, 2, 1, 0, Qt::white));
        auto *slider = child<MoveSlider>("BreathSlider");
        QCOMPARE(slider->value(), maximum - 1);
        QSignalSpy speed(m_page.get(), &LightSettingWidget::sig_MouseBreathSpeed);
        dragSlider(slider, slider->width() + 20); // right end: fast
        dragSlider(slider, 0);                    // left end: slow
        dragSlider(slider, -20);                  // dragged past the left end
        QCOMPARE(sent(speed), (Sent{{zone, 0}, {zone, maximum}, {zone, maximum}}));
        // The zone keeps the speed it was given.
        m_page->isWheelLightChange(!zone);
        m_page->isWheelLightChange(zone);
        QCOMPARE(slider->value(), 0);
    }

    void brightnessIsSentForTheZone()
    {
        makePage(19, record(1, 0, 2, Qt::white, 1, 0, 3, Qt::white));
        auto *slider = child<MoveSlider>("ContinueLightSlider");
        QSignalSpy degree(m_page.get(), &LightSettingWidget::sig_MouseContinueLightDegree);
        QSignalSpy ga(m_page.get(), &LightSettingWidget::sig_SendEventMessageToGA);
        dragSlider(slider, slider->width() + 5);
        clickNamed(m_page.get(), "LogoLightButton");
        QCOMPARE(slider->value(), 3);
        dragSlider(slider, 0);
        QCOMPARE(sent(degree), (Sent{{true, 9}, {false, 0}}));
        QVERIFY(std::any_of(ga.begin(), ga.end(), [](const QVariantList &a) { return a.at(2).toString() == "9"; }));
        // A record out of range shows the nearest value the slider has.
        m_page->slot_SetLightParameter(record(1, 0, 40, Qt::white, 1, 0, 3, Qt::white));
        QCOMPARE(slider->value(), 9);
    }

    void presetsSendTheirColour_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<uint>("colour");
        QTest::addColumn<QString>("label");
        QTest::newRow("1") << QByteArray("colorButton1") << uint(rgb(255, 69, 110)) << "(255,69,110)";
        QTest::newRow("18") << QByteArray("colorButton18") << uint(rgb(63, 177, 87)) << "(63,177,87)";
        QTest::newRow("23, the same as 18") << QByteArray("colorButton23") << uint(rgb(63, 177, 87)) << "(63,177,87)";
        QTest::newRow("25") << QByteArray("colorButton25") << uint(rgb(135, 101, 239)) << "(135,101,239)";
    }

    void presetsSendTheirColour()
    {
        QFETCH(QByteArray, button);
        QFETCH(uint, colour);
        QFETCH(QString, label);
        makePage(19, record(1, 0, 9, Qt::black, 1, 0, 9, Qt::black));
        QSignalSpy sentColour(m_page.get(), &LightSettingWidget::sig_MouseColor);
        QSignalSpy ga(m_page.get(), &LightSettingWidget::sig_SendEventMessageToGA);
        clickNamed(m_page.get(), button.constData());
        QCOMPARE(sentColour.count(), 1);
        QCOMPARE(sentColour.at(0).at(0).toBool(), true);
        QCOMPARE(colours(sentColour), QList<COLORREF>{COLORREF(colour)});
        QCOMPARE(child<QLabel>("CurrentColorText")->text(), label);
        QCOMPARE(colorRef(swatch()), COLORREF(colour));
        QCOMPARE(ga.last().at(2).toString(), label);
    }

    void customSlidersSendOnRelease()
    {
        makePage(19, record(1, 0, 9, QColor(10, 20, 30), 1, 0, 9, Qt::black));
        QSignalSpy sentColour(m_page.get(), &LightSettingWidget::sig_MouseColor);
        auto *green = child<MoveSlider>("Green_Slider");
        QTest::mousePress(green, Qt::LeftButton, {}, QPoint(green->width() / 2, 5));
        // While held only the number follows.
        QCOMPARE(child<QLabel>("Green_Slider_Value")->text(), QString::number(green->value()));
        QCOMPARE(sentColour.count(), 0);
        QTest::mouseRelease(green, Qt::LeftButton, {}, QPoint(green->width() / 2, 5));
        const int g = green->value();
        QVERIFY(g > 100 && g < 155);
        QCOMPARE(colours(sentColour), QList<COLORREF>{rgb(10, g, 30)});
        QCOMPARE(swatch(), QColor(10, g, 30));
    }

    void colourWheelPicksFromItsOwnImage()
    {
        makePage(19, record(1, 0, 9, Qt::black, 1, 0, 9, Qt::black));
        auto *wheel = m_page->findChild<ColorWheel *>();
        QVERIFY(wheel);
        QSignalSpy picked(wheel, &ColorWheel::sigColor);
        QSignalSpy sentColour(m_page.get(), &LightSettingWidget::sig_MouseColor);

        // The corners of the square are outside radius 69: nothing is picked.
        for (const QPoint &corner : {QPoint(1, 1), QPoint(136, 1), QPoint(1, 136), QPoint(136, 136), QPoint(20, 20)})
            QTest::mouseClick(wheel, Qt::LeftButton, {}, corner);
        QTest::mouseClick(wheel, Qt::RightButton, {}, QPoint(69, 69));
        QCOMPARE(picked.count(), 0);
        QCOMPARE(sentColour.count(), 0);

        // Inside (the rim included), the colour of the wheel's image under the pointer.
        const QPoint points[] = {QPoint(69, 69), QPoint(128, 69), QPoint(69, 0), QPoint(30, 110), QPoint(100, 40)};
        for (const QPoint &p : points)
            QTest::mouseClick(wheel, Qt::LeftButton, {}, p);
        QCOMPARE(picked.count(), 5);
        QList<COLORREF> expected;
        for (int i = 0; i < 5; ++i) {
            const QColor c = wheel->image().pixelColor(points[i]);
            QCOMPARE(picked.at(i), (QVariantList{c.red(), c.green(), c.blue()}));
            expected << rgb(c.red(), c.green(), c.blue());
        }
        QCOMPARE(colours(sentColour), expected);
        // The centre is white, the right-hand rim red, the top rim yellow-green.
        QCOMPARE(wheel->image().pixelColor(69, 69), QColor(Qt::white));
        QCOMPARE(wheel->image().pixelColor(128, 69).hue(), 0);
        QCOMPARE(wheel->image().pixelColor(128, 69).saturation() > 200, true);
        QVERIFY(qAbs(wheel->image().pixelColor(69, 2).hue() - 90) <= 2);
    }

    // The wheel marks the colour shown, wherever it came from: the mouse's
    // own colour, a preset, or a pick on the wheel (marked where it was).
    void wheelMarksTheColourShown()
    {
        makePage(19, record(1, 0, 9, QColor(255, 0, 0), 1, 0, 9, Qt::black));
        auto *wheel = m_page->findChild<ColorWheel *>();
        const auto sameHueAndSaturation = [wheel](const QColor &colour) {
            const QColor marked = wheel->image().pixelColor(wheel->markerPosition());
            return qAbs(marked.hsvHue() - colour.hsvHue()) <= 3 && qAbs(marked.hsvSaturation() - colour.hsvSaturation()) <= 8;
        };
        QCOMPARE(wheel->markerPosition(), QPoint(ColorWheel::kSize - 1, ColorWheel::kRadius));

        clickNamed(m_page.get(), "colorButton25");
        QVERIFY2(sameHueAndSaturation(QColor(135, 101, 239)),
                 qPrintable(QStringLiteral("%1,%2").arg(wheel->markerPosition().x()).arg(wheel->markerPosition().y())));

        QTest::mouseClick(wheel, Qt::LeftButton, {}, QPoint(30, 110));
        QCOMPARE(wheel->markerPosition(), QPoint(30, 110));
        QCOMPARE(swatch(), wheel->image().pixelColor(30, 110));

        clickNamed(m_page.get(), "colorButton18");
        QVERIFY(sameHueAndSaturation(QColor(63, 177, 87)));
    }

private:
    static COLORREF colorRef(const QColor &c) { return rgb(c.red(), c.green(), c.blue()); }
};

QTEST_MAIN(TestLightSettingWidget)
#include "tst_lightsettingwidget.moc"
