// A whole firmware update as a user runs it: the emulated mouse on the bus,
// the window's presence poll and bridge, the update view's start button, the
// boot loader taking the image, and the mouse opened again afterwards.
#include "app/MainWindow.h"
#include "app/Notifier.h"
#include "app/NeedDeviceDialog.h"
#include "app/UpdateMouseDialog.h"
#include "app/WarningDialog.h"
#include "device/CheckDevice.h"
#include "platform/AppPaths.h"
#include "support/FirmwareRig.h"

#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class TestFirmwareFlow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FirmwareRig> m_rig;
    std::unique_ptr<MainWindow> m_window;

    CheckDevice *checkDevice() const { return m_window->findChild<CheckDevice *>(); }
    UpdateMouseDialog *dialog() const { return m_window->updateMouseDialog(); }
    QProgressBar *progress() const { return dialog()->findChild<QProgressBar *>(QStringLiteral("UpdateProgressBar")); }

    static void writeImage(int mouseType, const QByteArray &image)
    {
        const QString folder = UpdateMouseDialog::firmwareFolder(true, mouseType);
        QVERIFY(QDir().mkpath(folder));
        QFile file(folder + QStringLiteral("/Nuc123.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(image);
    }

    // The Kestrel by cable, opened by the window; an image for it in the local firmware folder.
    void openMouseWithImage(const QByteArray &image)
    {
        checkDevice()->checkDeviceOnce();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isDeviceOpen(), 20000);
        QTRY_COMPARE(m_window->currentFirmwareVersion(), int(FirmwareRig::kOldVersion));
        writeImage(11, image);
        // The support page's button opens the view with the open mouse's
        // model chosen and its image offered; other models cannot be picked.
        QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("FirmwareUpdateButton")), Qt::LeftButton);
        QVERIFY(dialog()->isVisible());
        QCOMPARE(dialog()->selectedModel(), 11);
        QCOMPARE(dialog()->imagePath(), UpdateMouseDialog::firmwareFolder(true, 11) + QStringLiteral("/Nuc123.bin"));
        QVERIFY(!dialog()->findChild<QPushButton *>(QStringLiteral("ModelTile_merlin"))->isEnabled());
    }
    // The open warning and those queued behind it.
    QList<int> warnings() const
    {
        return QList<int>{m_window->warningDialog()->currentType()} + m_window->warningDialog()->waitingTypes();
    }
    void clickStart()
    {
        QTest::mouseClick(dialog()->findChild<QPushButton *>(QStringLiteral("StartUpdateButton")), Qt::LeftButton);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        AppPaths::setDataRoot(m_dir->path());
        m_rig = std::make_unique<FirmwareRig>();
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        m_window->attachDeferredPages(); // every page at once, not after the first paint
    }

    void cleanup()
    {
        m_window.reset();
        m_rig.reset();
        DeviceClock::setVirtual(false);
        AppPaths::setDataRoot(QString());
    }

    void updateRunsToTheEnd()
    {
        const quint32 version = 0x05000002;
        openMouseWithImage(FirmwareRig::image(4000, version));
        QList<int> values;
        QList<bool> pollingDuring;
        connect(progress(), &QProgressBar::valueChanged, this, [&](int v) {
            if (v == 0)
                return; // the bar's reset as the request leaves the window
            values << v;
            pollingDuring << checkDevice()->isPolling();
        });
        // What the box shows when the desktop is told of the end.
        QList<int> shownWhenNotified;
        connect(m_window->notifier(), &Notifier::notified, this,
                [&] { shownWhenNotified << m_window->warningDialog()->currentType(); });
        clickStart();
        QVERIFY(dialog()->isUpdating());

        QTRY_VERIFY_WITH_TIMEOUT(!dialog()->isUpdating(), 20000);
        QTRY_VERIFY(warnings().contains(8)); // success
        // "Updating the firmware, do not unplug" is gone, not left over the
        // result, and the notification went out with the result showing.
        QCOMPARE(m_window->warningDialog()->currentType(), 8);
        QVERIFY(!warnings().contains(13));
        QTRY_COMPARE(shownWhenNotified, QList<int>{8});
        QCOMPARE(m_rig->mouse->firmwareVersion(), version);
        // The bar followed the transfer up to 100, with the poll paused meanwhile and resumed after.
        QVERIFY(values.size() > 5);
        QCOMPARE(values.last(), 100);
        QVERIFY(std::is_sorted(values.begin(), values.end()));
        QVERIFY(!pollingDuring.contains(true));
        QVERIFY(checkDevice()->isPolling());
        // The mouse came back through its boot loader and was opened again.
        QTRY_COMPARE(m_window->currentFirmwareVersion(), int(version));
        QVERIFY(m_window->isDeviceOpen());
        QVERIFY(!m_window->needDeviceDialog()->isVisible());
    }

    // An image the mouse already runs: the transfer ends, the version tells it did not take.
    void unchangedVersionIsAFailure()
    {
        openMouseWithImage(FirmwareRig::image(500, FirmwareRig::kOldVersion));
        clickStart();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog()->isUpdating(), 20000);
        QTRY_VERIFY(warnings().contains(7)); // failure
        QVERIFY(m_rig->boot()->finished());
        QVERIFY(checkDevice()->isPolling());
    }

    // A Merlin found waiting in its boot loader is updated at once; the
    // loader vanishes mid-transfer: one failure, and the window goes on working.
    void unplugMidTransfer()
    {
        m_rig.reset(); // the bus the window polls is set anew
        m_rig = std::make_unique<FirmwareRig>(true, QStringLiteral("merlin"));
        writeImage(12, FirmwareRig::image(4000));
        EmulatedBackend::Faults faults;
        faults.unplugAfterTransfers = 2 * 30; // a write and a read per packet
        m_rig->bus.setFaults(m_rig->bootId(), faults);
        checkDevice()->checkDeviceOnce();
        QVERIFY(dialog()->isVisible());
        QVERIFY(dialog()->isUpdating());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog()->isUpdating(), 20000);
        QTRY_VERIFY(warnings().contains(7));
        QCOMPARE(m_rig->boot()->packets().size(), 30);
        QVERIFY(checkDevice()->isPolling());
        checkDevice()->checkDeviceOnce();
        QVERIFY(!m_window->isDeviceOpen());
        // The view stays, ready for another try.
        QVERIFY(dialog()->isVisible());
        QVERIFY(dialog()->findChild<QPushButton *>(QStringLiteral("StartUpdateButton"))->isEnabled());
        // The mouse turns up again and is opened as usual.
        m_rig->bus.plug(m_rig->mouse);
        checkDevice()->checkDeviceOnce();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isDeviceOpen(), 20000);
    }

    // Quitting or closing the window while the image is sent waits for the end.
    void quitWaitsForTheTransfer()
    {
        openMouseWithImage(FirmwareRig::image(20000));
        QSignalSpy quit(m_window.get(), &MainWindow::QuitTheApplication);
        bool asked = false;
        int quitsWhileRunning = -1;
        connect(progress(), &QProgressBar::valueChanged, this, [&](int v) {
            if (asked || v == 0 || v >= 80)
                return;
            asked = true;
            QVERIFY(!m_window->close());
            emit m_window->needDeviceDialog()->sig_closeWindow(); // the same road as the tray's exit
            quitsWhileRunning = quit.count();
        });
        clickStart();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog()->isUpdating(), 20000);
        QVERIFY(asked);
        QCOMPARE(quitsWhileRunning, 0);
        QVERIFY(m_rig->boot()->finished());
        QCOMPARE(quit.count(), 1);
    }
};

QTEST_MAIN(TestFirmwareFlow)
#include "tst_firmwareflow.moc"
