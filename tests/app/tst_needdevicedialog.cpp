#include "app/NeedDeviceDialog.h"
#include "store/TextTable.h"
#include "platform/AppPaths.h"
#include "support/TempAppFolder.h"

#include <QJsonArray>
#include <QLabel>

#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class TestNeedDeviceDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void repairOfferedAfterTheWaitAndWithdrawnOnHide()
    {
        NeedDeviceDialog dialog;
        auto *repair = dialog.findChild<QPushButton *>(QStringLiteral("FirmwareRepairPushButton"));
        auto *timer = dialog.findChild<QTimer *>(QStringLiteral("RepairOfferTimer"));
        QVERIFY(repair && timer);
        QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);

        dialog.show();
        QVERIFY(!repair->isVisible());
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 3800);
        // The real wait, once: the timer is what offers the repair.
        QTRY_VERIFY_WITH_TIMEOUT(repair->isVisible(), 6000);

        // A device arrived: hidden, the offer withdrawn and the wait stopped.
        dialog.hide();
        QVERIFY(!timer->isActive());
        QVERIFY(repair->isHidden());

        // Shown again, the wait starts over.
        dialog.show();
        QVERIFY(timer->isActive());
        QVERIFY(!repair->isVisible());
    }

    void textsComeFromTheTextTable()
    {
        QJsonArray table;
        for (int i = 0; i <= TextTable::TextNoDeviceFirmwareRepair; ++i)
            table.append(QStringLiteral("text %1").arg(i));
        TextTable::setTable(table);
        NeedDeviceDialog dialog;
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("MessageLabel"))->text(), QStringLiteral("text 360"));
        QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("OkButton"))->text(), QStringLiteral("text 361"));
        QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("FirmwareRepairPushButton"))->text(),
                 QStringLiteral("text 362"));
        TextTable::setTable(QJsonArray());
    }

    void buttonsEmitTheirSignals()
    {
        NeedDeviceDialog dialog;
        QSignalSpy close(&dialog, &NeedDeviceDialog::sig_closeWindow);
        QSignalSpy update(&dialog, &NeedDeviceDialog::sig_ShowUpdateWidget);
        dialog.show();
        dialog.slot_TimeOut();

        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("FirmwareRepairPushButton")), Qt::LeftButton);
        QCOMPARE(update.count(), 1);
        QCOMPARE(update.at(0), (QList<QVariant>{true, true, 0, false}));
        QCOMPARE(close.count(), 0);

        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("OkButton")), Qt::LeftButton);
        QCOMPARE(close.count(), 1);
        QCOMPARE(update.count(), 1);
    }

    // It opens over its window, and Escape closes it without quitting.
    void opensOverItsWindowAndEscapeCloses()
    {
        QWidget window;
        window.setGeometry(300, 200, 960, 640);
        window.show();
        NeedDeviceDialog dialog(&window);
        QSignalSpy close(&dialog, &NeedDeviceDialog::sig_closeWindow);
        dialog.show();
        QVERIFY(window.geometry().contains(dialog.geometry().center()));
        QVERIFY((dialog.geometry().center() - window.geometry().center()).manhattanLength() <= 2);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(close.count(), 0);
    }

    // Once hidden, the box quits nothing (under a window manager the keys
    // still reached it for a moment: Enter quit the program), and while it
    // shows it follows its window (placed late by the window manager).
    void aHiddenBoxQuitsNothingAndAShownOneFollows()
    {
        QWidget window;
        window.setGeometry(0, 0, 960, 640);
        window.show();
        NeedDeviceDialog dialog(&window);
        QSignalSpy close(&dialog, &NeedDeviceDialog::sig_closeWindow);
        dialog.show();
        window.move(300, 200);
        QVERIFY((dialog.geometry().center() - window.frameGeometry().center()).manhattanLength() <= 2);
        dialog.hide();
        auto *quit = dialog.findChild<QPushButton *>(QStringLiteral("OkButton"));
        quit->click();
        QTest::keyClick(quit, Qt::Key_Return);
        QCOMPARE(close.count(), 0);
    }

private:
    TempAppFolder m_dir;
};

QTEST_MAIN(TestNeedDeviceDialog)
#include "tst_needdevicedialog.moc"
