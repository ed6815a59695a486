// The main settings page in the whole program: an emulated first-family mouse
// on the bus, CheckDevice's poll, the bridge on its worker thread, and the
// page as the user clicks it. What the page shows is held against the mouse's
// memory, and what the user changes must arrive there.
#include "app/WarningDialog.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "pages/CPISlider.h"
#include "pages/LightSettingWidget.h"
#include "pages/MoveSlider.h"
#include "pages/USpinBox.h"
#include "platform/DeviceClock.h"
#include "platform/PointerSettings.h"
#include "platform/hid/HidBackend.h"
#include "platform/linux/DesktopPointer.h"
#include "store/TextTable.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QLineEdit>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

// Bank 1 of a first-family mouse: the CPI table (one 16-bit code per level),
// the word whose byte 2 holds the level count less one, and the report
// interval in milliseconds.
constexpr quint32 kCpiTable = 1024 + 1160;
constexpr quint32 kLevelCountWord = 2196;
constexpr quint32 kReportInterval = 1024 + 1152;
constexpr int kWaitMs = 20000;

int code(const EmulatedKestrelMouse &mouse, int level)
{
    const QByteArray b = mouse.memory(kCpiTable + 2 * level, 2);
    return quint8(b.at(0)) | quint8(b.at(1)) << 8;
}

int levelCount(const EmulatedKestrelMouse &mouse)
{
    return quint8(mouse.memory(kLevelCountWord + 2, 1).at(0)) + 1;
}

int interval(const EmulatedKestrelMouse &mouse)
{
    return quint8(mouse.memory(kReportInterval, 1).at(0));
}

} // namespace

class TestMainSettingFlow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> m_rig;
    std::shared_ptr<EmulatedKestrelMouse> m_mouse;

    MainSettingWidget *page() const { return m_rig->page(); }
    CPIForm *form(int level) const { return page()->cpiForm(level); }

    void plugAndOpen(const QString &model)
    {
        m_mouse = std::make_shared<EmulatedKestrelMouse>(model);
        QVERIFY(m_rig->plugAndOpen(m_mouse));
    }

private slots:
    void init() { m_rig = std::make_unique<WindowRig>(); }

    void cleanup()
    {
        m_rig.reset();
        m_mouse.reset();
    }

    void pageShowsWhatTheMouseHolds_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cpiPerCode");
        QTest::addColumn<int>("cpiOffset");
        QTest::addColumn<bool>("screenButton");
        // Kestrel keeps CPI / 50; Merlin keeps (CPI - 200) / 100 for its five levels.
        QTest::newRow("Kestrel: seven levels") << "kestrel" << 7 << 50 << 0 << true;
        QTest::newRow("Merlin: five levels") << "merlin" << 5 << 100 << 200 << false;
    }

    void pageShowsWhatTheMouseHolds()
    {
        QFETCH(QString, model);
        QFETCH(int, rows);
        QFETCH(int, cpiPerCode);
        QFETCH(int, cpiOffset);
        QFETCH(bool, screenButton);
        plugAndOpen(model);
        const int levels = levelCount(*m_mouse);
        QVERIFY(levels >= 1 && levels <= rows);
        for (int level = 0; level < 7; ++level) {
            const bool on = level < levels;
            QCOMPARE(form(level)->isVisible(), level < rows);
            QCOMPARE(form(level)->checkBox()->isChecked(), on);
            if (on)
                QCOMPARE(form(level)->spinBox()->value(), code(*m_mouse, level) * cpiPerCode + cpiOffset);
        }
        const int rateOfInterval[9] = {-1, 3, 2, -1, 1, -1, -1, -1, 0};
        const int rate = rateOfInterval[interval(*m_mouse)];
        const char *radios[] = {"USBReportRate_125RadioButton", "USBReportRate_250RadioButton",
                                "USBReportRate_500RadioButton", "USBReportRate_1000RadioButton"};
        QVERIFY(page()->findChild<QRadioButton *>(QLatin1String(radios[rate]))->isChecked());
        QCOMPARE(page()->findChild<QPushButton *>(QStringLiteral("DrawButton"))->isVisible(), screenButton);
        // The lighting record reached the lighting page as well.
        const LightColorParam light = m_rig->window->findChild<LightSettingWidget *>()->lightParameter();
        const LightColorParam none{};
        QVERIFY(std::memcmp(&light, &none, sizeof light) != 0);
    }

    void changesOnThePageReachTheMouse()
    {
        plugAndOpen(QStringLiteral("kestrel"));
        const int first = form(0)->spinBox()->value();
        QTest::mouseClick(form(0)->spinBox()->upButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(code(*m_mouse, 0), (first + 50) / 50, kWaitMs);

        // Level 7 off: the mouse keeps six levels, the others where they were.
        const int levels = levelCount(*m_mouse);
        QCOMPARE(levels, 7);
        const int sixth = code(*m_mouse, 5);
        QTest::mouseClick(form(6)->checkBox(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(levelCount(*m_mouse), 6, kWaitMs);
        QCOMPARE(code(*m_mouse, 5), sixth);

        auto *rate500 = page()->findChild<QRadioButton *>(QStringLiteral("USBReportRate_500RadioButton"));
        QTest::mouseClick(rate500, Qt::LeftButton, {}, QPoint(8, rate500->height() / 2));
        QTRY_COMPARE_WITH_TIMEOUT(interval(*m_mouse), 2, kWaitMs);
        QTest::qWait(200);
        QVERIFY(!m_rig->window->warningDialog()->isVisible());
    }

    // With a mouse open (its levels rebuilt for the model), Tab goes from a
    // level's check box to its slider and its field, and on to the next
    // level: the fields are no longer some thirty stops in, after the plates.
    void tabReachesEachLevelsControlsInTurn()
    {
        plugAndOpen(QStringLiteral("kestrel"));
        for (int level = 0; level < 2; ++level) {
            QWidget *stop = form(level)->checkBox();
            QCOMPARE(stop->nextInFocusChain(), static_cast<QWidget *>(form(level)->slider()));
            QCOMPARE(form(level)->slider()->nextInFocusChain(), static_cast<QWidget *>(form(level)->spinBox()->lineEdit()));
        }
        QCOMPARE(form(0)->spinBox()->downButton()->nextInFocusChain(), static_cast<QWidget *>(form(1)->checkBox()));
    }

    // A configuration chosen in the tray menu goes into the mouse as a profile button's does.
    void trayConfigurationReachesTheMouse()
    {
        plugAndOpen(QStringLiteral("kestrel"));
        const int first = form(0)->spinBox()->value();
        QTest::mouseClick(form(0)->spinBox()->upButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(code(*m_mouse, 0), (first + 50) / 50, kWaitMs);

        m_rig->window->findChild<QAction *>(QStringLiteral("TrayConfigAction_2"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(code(*m_mouse, 0), first / 50, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(form(0)->spinBox()->value(), first, kWaitMs);
        m_rig->window->findChild<QAction *>(QStringLiteral("TrayConfigAction_1"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(code(*m_mouse, 0), (first + 50) / 50, kWaitMs);
        QCOMPARE(m_rig->window->currentConfigNumber(), 1);
    }

    void aRefusedWriteWarnsAndThePageShowsTheMouseAgain()
    {
        plugAndOpen(QStringLiteral("kestrel"));
        const int first = form(0)->spinBox()->value();
        m_mouse->refuseNextCommands(1000);
        QTest::mouseClick(form(0)->spinBox()->upButton(), Qt::LeftButton);
        QCOMPARE(form(0)->spinBox()->value(), first + 50);
        WarningDialog *warning = m_rig->window->warningDialog();
        QTRY_VERIFY_WITH_TIMEOUT(warning->isVisible(), kWaitMs);
        QCOMPARE(warning->currentType(), 32);
        QCOMPARE(code(*m_mouse, 0), first / 50);

        // The mouse answers again; confirming reads it back onto the page.
        m_mouse->refuseNextCommands(0);
        QTest::mouseClick(warning->findChild<QPushButton *>(QStringLiteral("OkButton")), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(form(0)->spinBox()->value(), first, kWaitMs);
        QCOMPARE(form(0)->slider()->value(), first);
    }

    // The mouse refuses the write but still answers: the page goes back to
    // the mouse's value by itself, while the warning is still up.
    void aRefusedWriteIsReadBackAtOnce()
    {
        plugAndOpen(QStringLiteral("kestrel"));
        const int first = form(0)->spinBox()->value();
        // Every attempt at the write's first command (the driver tries four times).
        m_mouse->refuseNextCommands(4);
        QTest::mouseClick(form(0)->spinBox()->upButton(), Qt::LeftButton);
        QCOMPARE(form(0)->spinBox()->value(), first + 50);
        WarningDialog *warning = m_rig->window->warningDialog();
        QTRY_VERIFY_WITH_TIMEOUT(warning->isVisible(), kWaitMs);
        QCOMPARE(warning->currentType(), 32);
        QTRY_COMPARE_WITH_TIMEOUT(form(0)->spinBox()->value(), first, kWaitMs);
        QCOMPARE(form(0)->slider()->value(), first);
        QCOMPARE(code(*m_mouse, 0), first / 50);
        QVERIFY(warning->isVisible());
    }

    // A mouse on the bus whose node the user may not open: the window says
    // why, in the system's words, and points to the udev rule.
    void aMouseThatCannotBeOpenedSaysWhy()
    {
        QVERIFY(TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), TextTable::kEnglishSlot)
                == TextTable::Loaded);
        m_rig->plug(QStringLiteral("harrier"));
        EmulatedBackend::Faults faults;
        faults.openDenied = true;
        m_rig->bus->setFaults(m_rig->ids.first(), faults);
        m_rig->poll();
        WarningDialog *warning = m_rig->window->warningDialog();
        QTRY_VERIFY_WITH_TIMEOUT(warning->isVisible(), kWaitMs);
        QCOMPARE(warning->currentType(), 17);
        QString shown;
        for (QLabel *label : warning->findChildren<QLabel *>())
            shown += label->text() + QLatin1Char('\n');
        QVERIFY2(shown.contains(QStringLiteral("may not open it")) && shown.contains(QStringLiteral("Permission denied"))
                     && shown.contains(QStringLiteral("udev rule")),
                 qPrintable(shown));
        QVERIFY(!m_rig->window->isDeviceOpen());
    }

    void pointerSpeedAndWheelLinesReachTheDesktop()
    {
        plugAndOpen(QStringLiteral("merlin"));
        auto *speed = page()->findChild<MoveSlider *>(QStringLiteral("PointSpeedSlider"));
        QTest::mousePress(speed, Qt::LeftButton, {}, QPoint(40, 5));
        QTest::mouseRelease(speed, Qt::LeftButton, {}, QPoint(40, 5));
        QCOMPARE(m_rig->pointer->pointerSpeed(), 4);

        auto *lines = page()->findChild<QSpinBox *>(QStringLiteral("spinBox"));
        QVERIFY(lines->isEnabled());
        lines->setFocus();
        lines->selectAll();
        QTest::keyClicks(lines, QStringLiteral("9"));
        QTest::keyClick(lines, Qt::Key_Return);
        QCOMPARE(m_rig->pointer->wheelLines(), 9);
        QFile kdeglobals(m_rig->folder->path() + QStringLiteral("/kdeglobals"));
        QVERIFY(kdeglobals.open(QIODevice::ReadOnly));
        QCOMPARE(kdeglobals.readAll(), QByteArray("[KDE]\nWheelScrollLines=9\n"));
    }
};

QTEST_MAIN(TestMainSettingFlow)
#include "tst_mainsettingflow.moc"
