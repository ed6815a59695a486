// Several mice at once: a Kestrel by cable and a Harrier on one emulated
// bus. The title bar's chooser shows the mouse being configured and offers
// the other; choosing it closes the first and opens the second with its own
// settings; unplugging the one being configured brings the other back; a
// mouse in its boot loader still wins; with one mouse there is no chooser.
#include "app/MainWindow.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "app/TitleBar.h"
#include "app/UpdateMouseDialog.h"
#include "device/CheckDevice.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "model/ProductTable.h"
#include "pages/CPIForm.h"
#include "pages/MainSettingWidget.h"
#include "pages/USpinBox.h"
#include "store/TextTable.h"
#include "support/WindowRig.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

class TestMouseChooser : public QObject
{
    Q_OBJECT

private:
    static QComboBox *chooser(WindowRig &rig) { return rig.window->findChild<QComboBox *>(QStringLiteral("MouseChooser")); }
    static void choose(WindowRig &rig, USHORT pid)
    {
        QComboBox *box = chooser(rig);
        const int index = box->findData(uint(pid));
        QVERIFY(index >= 0);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

private slots:
    void initTestCase()
    {
        TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), TextTable::kEnglishSlot);
    }

    void twoMiceOfTwoFamilies()
    {
        WindowRig rig;
        const ProductInfo *kestrel = Products::byName(QStringLiteral("kestrel"));
        const ProductInfo *harrier = Products::byName(QStringLiteral("harrier"));
        const EmulatedDevices firstDevices = rig.plug(QStringLiteral("kestrel"));
        auto kestrelMouse = std::dynamic_pointer_cast<EmulatedKestrelMouse>(firstDevices.first());
        QVERIFY(kestrelMouse);
        const EmulatedDevices second = rig.plug(QStringLiteral("harrier"));
        auto harrierMouse = std::dynamic_pointer_cast<EmulatedOspreyMouse>(second.first());
        QVERIFY(harrierMouse);
        const int harrierId = rig.ids.last();
        rig.poll();
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->isDeviceOpen(), WindowRig::kWaitMs);

        // The scan order's first is shown; the chooser offers both.
        const USHORT first = rig.window->currentPid();
        QVERIFY(first == kestrel->wiredPid || first == harrier->wiredPid);
        QVERIFY(chooser(rig)->isVisibleTo(rig.window.get()));
        QCOMPARE(chooser(rig)->count(), 2);
        QCOMPARE(chooser(rig)->currentData().toUInt(), uint(first));
        QCOMPARE(chooser(rig)->itemText(chooser(rig)->findData(uint(harrier->wiredPid))), QStringLiteral("Harrier (cable)"));

        // Choosing the other opens it with its own pages. A click the moment
        // it is chosen, while the page still shows the first mouse, is taken
        // by neither mouse.
        const USHORT other = first == kestrel->wiredPid ? harrier->wiredPid : kestrel->wiredPid;
        const QByteArray harrierUntouched = harrierMouse->profile();
        const QByteArray kestrelUntouched = kestrelMouse->memory(0, 4096);
        choose(rig, other);
        QVERIFY(!rig.window->pagesTakeInput());
        QTest::mouseClick(rig.page()->cpiForm(0)->spinBox()->upButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->currentPid() == other && rig.window->isPageFilled(), WindowRig::kWaitMs);
        QVERIFY(rig.window->pagesTakeInput());
        QCOMPARE(harrierMouse->profile(), harrierUntouched);
        QCOMPARE(kestrelMouse->memory(0, 4096), kestrelUntouched);
        QTRY_COMPARE_WITH_TIMEOUT(rig.window->currentPid(), other, WindowRig::kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->isPageFilled(), WindowRig::kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(rig.page()->mouseType(), int(Products::byPid(other)->mouseType), WindowRig::kWaitMs);
        QCOMPARE(chooser(rig)->currentData().toUInt(), uint(other));

        // A change goes to the Harrier alone. A click the moment it is
        // chosen, while the page still shows the other mouse, is not taken.
        if (other != harrier->wiredPid) {
            choose(rig, harrier->wiredPid);
            QTRY_COMPARE_WITH_TIMEOUT(rig.window->currentPid(), harrier->wiredPid, WindowRig::kWaitMs);
        }
        // The page shows the Harrier's own settings before the change.
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->isPageFilled(), WindowRig::kWaitMs);
        const QByteArray before = harrierMouse->profile();
        const QByteArray kestrelBefore = kestrelMouse->memory(0, 4096);
        QTest::mouseClick(rig.page()->cpiForm(0)->spinBox()->upButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(harrierMouse->profile() != before, WindowRig::kWaitMs);
        QCOMPARE(kestrelMouse->memory(0, 4096), kestrelBefore);

        // The mouse being configured goes: the other is opened and the chooser hides.
        rig.bus->unplug(harrierId);
        rig.poll();
        QTRY_COMPARE_WITH_TIMEOUT(rig.window->currentPid(), kestrel->wiredPid, WindowRig::kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->isDeviceOpen(), WindowRig::kWaitMs);
        QVERIFY(!chooser(rig)->isVisibleTo(rig.window.get()));
    }

    // Two mice of one model: the one being configured is unplugged, the
    // other is opened, and a change reaches it.
    void twoMiceOfOneModel()
    {
        WindowRig rig;
        auto first = std::dynamic_pointer_cast<EmulatedKestrelMouse>(rig.plug(QStringLiteral("kestrel")).first());
        const int firstId = rig.ids.last();
        auto second = std::dynamic_pointer_cast<EmulatedKestrelMouse>(rig.plug(QStringLiteral("kestrel")).first());
        QVERIFY(first && second);
        rig.poll();
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->isPageFilled(), WindowRig::kWaitMs);
        rig.bus->unplug(firstId);
        rig.poll();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.window->isDeviceOpen(), WindowRig::kWaitMs);
        rig.poll();
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->isPageFilled(), WindowRig::kWaitMs);
        const QByteArray before = second->memory(0, 4096);
        QTest::mouseClick(rig.page()->cpiForm(0)->spinBox()->upButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(second->memory(0, 4096) != before, WindowRig::kWaitMs);
    }

    void aBootLoaderStillWins()
    {
        WindowRig rig;
        rig.plug(QStringLiteral("kestrel"));
        rig.plug(QStringLiteral("harrier"));
        rig.poll();
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->isDeviceOpen(), WindowRig::kWaitMs);
        rig.window->findChild<CheckDevice *>()->setPreferredPid(Products::byName(QStringLiteral("harrier"))->wiredPid);
        rig.plug(QStringLiteral("merlin-boot"));
        rig.poll();
        rig.poll();
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->updateMouseDialog()->isVisible(), WindowRig::kWaitMs);
    }
};

QTEST_MAIN(TestMouseChooser)
#include "tst_mousechooser.moc"
