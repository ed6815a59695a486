// The lighting page in the whole program: an emulated mouse of the first and
// of the second family on the bus, CheckDevice's poll, the bridge on its
// worker thread, and the page as the user clicks it. What the user chooses
// must arrive in the mouse's own memory.
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "pages/LightSettingWidget.h"
#include "pages/MoveSlider.h"
#include "support/PageInput.h"
#include "support/WindowRig.h"

#include <QCheckBox>
#include <QStackedWidget>
#include <QtTest>
#include <cstring>
#include <functional>
#include <memory>

namespace {

constexpr int kWaitMs = 20000;

// Where each family's mouse keeps a light zone's mode, speed, brightness and colour.
struct ZoneBytes
{
    int mode, speed, degree, colour;
};
// First family, bank 1: one light (mode, speed and brightness after a flag byte; three colours).
constexpr ZoneBytes kKestrelLight = {2201, 2202, 2203, 2232};
// Second family, profile positions: the wheel light and the light strip.
constexpr ZoneBytes kHarrierWheel = {259, 287, 260, 281};
constexpr ZoneBytes kHarrierStrip = {256, 268, 257, 262};

} // namespace

Q_DECLARE_METATYPE(ZoneBytes)

class TestLightingFlow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> m_rig;
    EmulatedDevices m_devices;

    MainWindow *window() const { return m_rig->window.get(); }
    LightSettingWidget *page() const { return window()->findChild<LightSettingWidget *>(); }

    // The bytes the mouse holds at a place of its memory (first family) or profile (the others).
    QByteArray held(int at, int length) const
    {
        const std::shared_ptr<EmulatedDevice> &device = m_devices.first();
        auto kestrel = std::dynamic_pointer_cast<EmulatedKestrelMouse>(device);
        if (auto receiver = std::dynamic_pointer_cast<EmulatedKestrelReceiver>(device))
            kestrel = receiver->mouse();
        if (kestrel)
            return kestrel->memory(quint32(at), length);
        if (auto osprey = std::dynamic_pointer_cast<EmulatedOspreyMouse>(device))
            return osprey->profile().mid(at, length);
        return QByteArray(length, '\0');
    }
    int byte(int at) const { return quint8(held(at, 1).at(0)); }

    void plugAndOpen(const QString &model)
    {
        forgetRecord();
        m_devices = m_rig->plug(model);
        m_rig->poll();
        QTRY_VERIFY_WITH_TIMEOUT(window()->isDeviceOpen(), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(page()->lightParameter().lightDegree != 0xEE, kWaitMs);
        QTest::qWait(200);
    }

    // A record no mouse holds, so the page's refill can be seen.
    void forgetRecord()
    {
        LightColorParam marker;
        std::memset(&marker, 0xEE, sizeof marker);
        page()->slot_SetLightParameter(marker);
    }

    void slideTo(const char *name, bool rightEnd)
    {
        auto *slider = namedChild<MoveSlider>(page(), name);
        dragSlider(slider, rightEnd ? slider->width() + 10 : -10);
    }

private slots:
    void init() { m_rig = std::make_unique<WindowRig>(); }

    void cleanup()
    {
        m_rig.reset();
        m_devices.clear();
    }

    void lightingReachesTheMouse_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<ZoneBytes>("zone");
        QTest::addColumn<int>("breathing"); // the mouse's code of the breathing mode
        QTest::addColumn<int>("slowest");
        QTest::newRow("first family: Kestrel") << "kestrel" << kKestrelLight << 2 << 4;
        QTest::newRow("first family: Merlin through its receiver") << "merlin-receiver" << kKestrelLight << 2 << 4;
        QTest::newRow("second family: Harrier, wheel light") << "harrier" << kHarrierWheel << 0x82 << 9;
    }

    void lightingReachesTheMouse()
    {
        QFETCH(QString, model);
        QFETCH(ZoneBytes, zone);
        QFETCH(int, breathing);
        QFETCH(int, slowest);
        plugAndOpen(model);
        clickNamed(window(), "LightSettingButton");
        QCOMPARE(namedChild<QStackedWidget>(window(), "stackedWidget")->currentIndex(), 1);

        clickNamed(page(), "BrethModeRaioButton");
        QTRY_COMPARE_WITH_TIMEOUT(byte(zone.mode), breathing, kWaitMs);
        clickNamed(page(), "colorButton18");
        QTRY_COMPARE_WITH_TIMEOUT(held(zone.colour, 3), QByteArray::fromHex("3fb157"), kWaitMs);
        slideTo("ContinueLightSlider", true);
        QTRY_COMPARE_WITH_TIMEOUT(byte(zone.degree), 9, kWaitMs);
        // Slow at the left, and the mouse counts slow as the highest number.
        slideTo("BreathSlider", false);
        QTRY_COMPARE_WITH_TIMEOUT(byte(zone.speed), slowest, kWaitMs);
        slideTo("BreathSlider", true);
        QTRY_COMPARE_WITH_TIMEOUT(byte(zone.speed), 0, kWaitMs);
    }

    void secondZoneOfASecondFamilyMouse()
    {
        plugAndOpen(QStringLiteral("harrier"));
        clickNamed(window(), "LightSettingButton");
        const QByteArray wheelColour = held(kHarrierWheel.colour, 3);
        clickNamed(page(), "LogoLightButton");
        clickNamed(page(), "ContinueLightModeRadioButton");
        QTRY_COMPARE_WITH_TIMEOUT(byte(kHarrierStrip.mode), 0x81, kWaitMs);
        clickNamed(page(), "colorButton1");
        QTRY_COMPARE_WITH_TIMEOUT(held(kHarrierStrip.colour, 3), QByteArray::fromHex("ff456e"), kWaitMs);
        QCOMPARE(held(kHarrierWheel.colour, 3), wheelColour);

        // Colourful on from the second zone reaches both zones of the mouse.
        clickNamed(page(), "ColorIntrigueCheckBox_2");
        QTRY_COMPARE_WITH_TIMEOUT(byte(kHarrierWheel.mode), 0x85, kWaitMs);
        QCOMPARE(byte(kHarrierStrip.mode), 0x85);

        // Read again, the page shows what the mouse now holds.
        forgetRecord();
        QVERIFY(!namedChild<QCheckBox>(page(), "ColorIntrigueCheckBox_2")->isChecked());
        window()->slot_ShowCurrentConfigButton(window()->currentConfigNumber());
        QTRY_VERIFY_WITH_TIMEOUT(namedChild<QCheckBox>(page(), "ColorIntrigueCheckBox_2")->isChecked(), kWaitMs);
        QVERIFY(page()->isWheelZoneSelected());
    }
};

QTEST_MAIN(TestLightingFlow)
#include "tst_lightingflow.moc"
