// The support page connects itself to the bridge: the firmware version and
// whether pairing is offered follow the bridge's answers.
#include "data/DCDataHandle.h"
#include "pages/SupportWidget.h"
#include "store/TextTable.h"
#include "support/TempAppFolder.h"

#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestSupportWidget : public QObject
{
    Q_OBJECT
private slots:
    void followsTheBridge()
    {
        TempAppFolder folder;
        QJsonArray table;
        for (int i = 0; i <= TextTable::TextSupportFirmwareVersion; ++i)
            table.append(QString());
        table[TextTable::TextSupportFirmwareVersion] = QStringLiteral("Firmware %1");
        TextTable::setTable(table);
        DCDataHandle bridge;
        SupportWidget page;
        page.connectBridge(&bridge);
        auto *pair = page.findChild<QPushButton *>(QStringLiteral("PairButton"));
        QVERIFY(pair);
        QVERIFY(!pair->isEnabled());

        emit bridge.sig_OpenDeviceResult(false, 11, true);
        QVERIFY(!pair->isEnabled());
        emit bridge.sig_OpenDeviceResult(true, 11, true);
        QVERIFY(pair->isEnabled());
        emit bridge.sig_OpenDeviceResult(true, 11, false);
        QVERIFY(!pair->isEnabled());

        auto *version = page.findChild<QLabel *>(QStringLiteral("FirmwareVersionLabel"));
        QVERIFY(version);
        QCOMPARE(version->text(), QStringLiteral("Firmware -"));
        emit bridge.sig_VersionNumber(32);
        QCOMPARE(version->text(), QStringLiteral("Firmware 32"));
        // Versions as people read them, by family.
        emit bridge.sig_VersionNumber(0x05000003);
        QCOMPARE(version->text(), QStringLiteral("Firmware 5.0.0.3"));
        emit bridge.sig_OpenDeviceResult(true, 19, false);
        emit bridge.sig_VersionNumber(0x0105);
        QCOMPARE(version->text(), QStringLiteral("Firmware 1.05"));

        // A wired-only mouse has no pairing card; a mouse with a receiver has it.
        page.show();
        auto *card = page.findChild<QWidget *>(QStringLiteral("PairCard"));
        QVERIFY(!card->isVisible());
        emit bridge.sig_OpenDeviceResult(true, 11, false);
        QVERIFY(card->isVisible());
    }
};

QTEST_MAIN(TestSupportWidget)
#include "tst_supportwidget.moc"
