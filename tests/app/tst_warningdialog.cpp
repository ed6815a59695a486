#include "app/WarningDialog.h"
#include "platform/AppPaths.h"
#include "store/TextTable.h"
#include "support/TempAppFolder.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QMetaMethod>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QtTest>
#include <memory>

// Collects the addresses the dialog opens instead of starting a browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

// The warning dialog: what each type's buttons do, the reminder box, and
// warnings raised while another one is open.
class TestWarningDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempAppFolder> m_dir;
    UrlCatcher m_urls;

    // One spy per action signal (every signal but the usage event), by signature.
    static QMap<QByteArray, QSignalSpy *> spyActions(WarningDialog &dialog, QObject *owner)
    {
        QMap<QByteArray, QSignalSpy *> spies;
        const QMetaObject *meta = dialog.metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.methodType() != QMetaMethod::Signal || method.name() == "sig_SendEventMessageToGA")
                continue;
            auto *spy = new QSignalSpy(&dialog, method);
            spy->setParent(owner);
            spies.insert(method.methodSignature(), spy);
        }
        return spies;
    }

    static void click(WarningDialog &dialog, const char *button)
    {
        auto *b = dialog.findChild<QPushButton *>(QLatin1String(button));
        QVERIFY(b);
        QVERIFY(b->isVisible());
        QTest::mouseClick(b, Qt::LeftButton);
    }

    int notRemind() const
    {
        QSettings ini(AppPaths::dataRoot() + QStringLiteral("/NoLongerRemind.ini"), QSettings::IniFormat);
        return ini.value(QStringLiteral("NotRemind"), 0).toInt();
    }

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_urls, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_urls, "open");
        for (const char *scheme : {"file", "smb", "ftp", "javascript"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_urls, "open");
    }

    void init()
    {
        m_dir = std::make_unique<TempAppFolder>();
        m_urls.urls.clear();
    }

    void cleanup() { m_dir.reset(); }

    void confirmAction_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("action"); // empty: closes only

        QTest::newRow("0 reset") << 0 << QByteArray("sig_ResetMouseToOriginal()");
        QTest::newRow("2 upload") << 2 << QByteArray("sig_ChangeConfiFileBeforeStartToUploadFile()");
        QTest::newRow("3 log out") << 3 << QByteArray("sig_QuitUser()");
        QTest::newRow("4 download") << 4 << QByteArray("sig_StarToDownloadFile()");
        QTest::newRow("6 left button") << 6 << QByteArray();
        QTest::newRow("7 update failed") << 7 << QByteArray("sig_UpdateButtonEnable()");
        QTest::newRow("8 update done") << 8 << QByteArray("sig_OpenMouseAgain()");
        QTest::newRow("10 not logged in") << 10 << QByteArray();
        QTest::newRow("13 update starts") << 13 << QByteArray();
        QTest::newRow("14 too many updates") << 14 << QByteArray("sig_exitSoftware()");
        QTest::newRow("25 repair") << 25 << QByteArray("sig_ShowUpdateWidget()");
        QTest::newRow("26 firmware old") << 26 << QByteArray("sig_ShowUpdateWidget()");
        QTest::newRow("27 macro long") << 27 << QByteArray();
        QTest::newRow("28 log-in expired") << 28 << QByteArray("sig_QuitUser()");
        QTest::newRow("31 must close") << 31 << QByteArray("sig_exitSoftware()");
        QTest::newRow("32 device error") << 32 << QByteArray("sig_GetMouseProfileAgain()");
        QTest::newRow("33 pair") << 33 << QByteArray("sig_GoToMatchCodePage()");
        QTest::newRow("34 download firmware") << 34 << QByteArray("sig_DownloadAndUpdateFirmwareNow()");
        QTest::newRow("35 newer firmware") << 35 << QByteArray("sig_GoToSupportWidget()");
        QTest::newRow("37 macros written") << 37 << QByteArray();
        QTest::newRow("38 no profile matches") << 38 << QByteArray("sig_SaveCurrentProfileFileToConfig1()");
        QTest::newRow("39 update now") << 39 << QByteArray("sig_UpdateFirmwareNow()");
        QTest::newRow("40 needs cable") << 40 << QByteArray();
        QTest::newRow("41 update now, second family") << 41 << QByteArray("sig_UpdateFirmwareNow_Tern()");
        QTest::newRow("44 other model") << 44 << QByteArray();
        QTest::newRow("47 restart") << 47 << QByteArray("sig_RestartSoftware()");
        QTest::newRow("48 repair") << 48 << QByteArray("sig_ShowUpdateWidget()");
        QTest::newRow("53 up to date") << 53 << QByteArray();
        QTest::newRow("54 check failed") << 54 << QByteArray();
        QTest::newRow("99 unknown") << 99 << QByteArray();
    }

    void confirmAction()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, action);
        WarningDialog dialog;
        QObject owner;
        const auto spies = spyActions(dialog, &owner);
        QSignalSpy events(&dialog, &WarningDialog::sig_SendEventMessageToGA);

        dialog.showWarning(type);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.currentType(), type);
        click(dialog, "OkButton");

        QVERIFY(!dialog.isVisible());
        for (auto it = spies.cbegin(); it != spies.cend(); ++it)
            QCOMPARE(it.value()->count(), it.key() == action ? 1 : 0);
        QCOMPARE(events.count(), 1);
        QVERIFY(m_urls.urls.isEmpty());
        QCOMPARE(notRemind(), 0);
    }

    void cancelAction_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("action");
        QTest::addColumn<QVariantList>("arguments");

        QTest::newRow("0 reset declined") << 0 << QByteArray() << QVariantList();
        QTest::newRow("33 pair declined") << 33 << QByteArray("sig_GetMouseProfileAgain()") << QVariantList();
        QTest::newRow("38 keep configuration 1")
            << 38 << QByteArray("sig_ConfigRevcover(int)") << QVariantList{1};
        QTest::newRow("39 update declined") << 39 << QByteArray() << QVariantList();
    }

    void cancelAction()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, action);
        QFETCH(QVariantList, arguments);
        WarningDialog dialog;
        QObject owner;
        const auto spies = spyActions(dialog, &owner);

        dialog.showWarning(type);
        click(dialog, "Cancle_Button");

        QVERIFY(!dialog.isVisible());
        for (auto it = spies.cbegin(); it != spies.cend(); ++it) {
            QCOMPARE(it.value()->count(), it.key() == action ? 1 : 0);
            if (it.key() == action)
                QCOMPARE(it.value()->first(), arguments);
        }
    }

    // Only the application-update prompts offer the box; only type 1's cancel keeps it.
    void noLongerRemind_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<int>("stored");

        QTest::newRow("1 confirmed, ticked") << 1 << true << true << 1;
        QTest::newRow("1 confirmed, not ticked") << 1 << false << true << 0;
        QTest::newRow("1 cancelled, ticked") << 1 << true << false << 1;
        QTest::newRow("52 confirmed, ticked") << 52 << true << true << 1;
        QTest::newRow("52 cancelled, ticked") << 52 << true << false << 0;
    }

    void noLongerRemind()
    {
        QFETCH(int, type);
        QFETCH(bool, ticked);
        QFETCH(bool, confirm);
        QFETCH(int, stored);
        WarningDialog dialog;
        dialog.setDownloadPath(QStringLiteral("https://downloads.test/HarrierDriver-1.0.zip"));
        dialog.showWarning(type);
        auto *box = dialog.findChild<QCheckBox *>(QStringLiteral("NoLongerRemindCheckBox"));
        QVERIFY(box && box->isVisible());
        box->setChecked(ticked);
        click(dialog, confirm ? "OkButton" : "Cancle_Button");

        QCOMPARE(notRemind(), stored);
        QCOMPARE(m_urls.urls.size(), confirm ? 1 : 0);
        if (confirm)
            QCOMPARE(m_urls.urls.first(), QUrl(QStringLiteral("https://downloads.test/HarrierDriver-1.0.zip")));
    }

    // The download button opens the reply's address only when it is a web
    // address; anything else opens the vendor's download page instead.
    void downloadAddressMustBeAWebAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("taken");
        QTest::newRow("https") << "https://downloads.test/new.zip" << true;
        QTest::newRow("http") << "http://downloads.test/new.zip" << true;
        QTest::newRow("HTTPS upper case") << "HTTPS://downloads.test/new.zip" << true;
        QTest::newRow("local program") << "file:///usr/bin/xterm" << false;
        QTest::newRow("bare path") << "/usr/bin/xterm" << false;
        QTest::newRow("share") << "smb://host/share/setup.exe" << false;
        QTest::newRow("ftp") << "ftp://downloads.test/new.zip" << false;
        QTest::newRow("script") << "javascript:alert(1)" << false;
        QTest::newRow("web scheme without host") << "https:new.zip" << false;
    }
    void downloadAddressMustBeAWebAddress()
    {
        QFETCH(QString, address);
        QFETCH(bool, taken);
        WarningDialog dialog;
        dialog.setDownloadPath(address);
        if (!taken)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("download address refused"));
        dialog.showWarning(52);
        click(dialog, "OkButton");
        QCOMPARE(m_urls.urls, QList<QUrl>{taken ? QUrl(address) : QUrl(WarningDialog::vendorDownloadPage())});
    }

    void downloadPageWithoutPath()
    {
        WarningDialog dialog;
        dialog.showWarning(52);
        click(dialog, "OkButton");
        QCOMPARE(m_urls.urls, QList<QUrl>{QUrl(WarningDialog::vendorDownloadPage())});
    }

    void boxOnlyOnUpdatePrompts()
    {
        WarningDialog dialog;
        auto *box = dialog.findChild<QCheckBox *>(QStringLiteral("NoLongerRemindCheckBox"));
        for (int type : WarningDialog::knownTypes()) {
            dialog.showWarning(type);
            QCOMPARE(box->isVisible(), type == 1 || type == 52);
            dialog.removeAll();
        }
    }

    void givenMessageReplacesTheTableText()
    {
        WarningDialog dialog;
        dialog.showWarning(54, QStringLiteral("server says no"));
        auto *message = dialog.findChild<QLabel *>(QStringLiteral("MessageLabel"));
        QCOMPARE(message->text(), QStringLiteral("server says no"));
    }

    void warningsWaitTheirTurn()
    {
        WarningDialog dialog;
        QSignalSpy profileAgain(&dialog, &WarningDialog::sig_GetMouseProfileAgain);
        QSignalSpy save(&dialog, &WarningDialog::sig_SaveCurrentProfileFileToConfig1);
        dialog.showWarning(32);
        dialog.showWarning(38);
        dialog.showWarning(32); // same as the open one: not shown twice
        dialog.showWarning(38); // already waiting

        click(dialog, "OkButton");
        QCOMPARE(profileAgain.count(), 1);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.currentType(), 38);
        click(dialog, "OkButton");
        QCOMPARE(save.count(), 1);
        QVERIFY(!dialog.isVisible());
    }

    void removeAllDropsWithoutActions()
    {
        WarningDialog dialog;
        QObject owner;
        const auto spies = spyActions(dialog, &owner);
        dialog.showWarning(0);
        dialog.showWarning(32);
        dialog.removeAll();
        QVERIFY(!dialog.isVisible());
        for (QSignalSpy *spy : spies)
            QCOMPARE(spy->count(), 0);
        dialog.showWarning(7);
        QCOMPARE(dialog.currentType(), 7);
    }

    void escapeAnswersAsCancel()
    {
        WarningDialog dialog;
        QSignalSpy again(&dialog, &WarningDialog::sig_GetMouseProfileAgain);
        dialog.showWarning(33);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(again.count(), 1);
    }

    // A mouse matching no configuration: each button says what it overwrites,
    // and Escape overwrites nothing.
    void noMatchingConfigurationAsksPlainly()
    {
        QCOMPARE(TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), TextTable::kEnglishSlot),
                 TextTable::Loaded);
        WarningDialog dialog;
        QSignalSpy keep(&dialog, &WarningDialog::sig_SaveCurrentProfileFileToConfig1);
        QSignalSpy load(&dialog, &WarningDialog::sig_ConfigRevcover);
        dialog.showWarning(38);
        const QStringList buttons = [&dialog] {
            QStringList texts;
            for (QPushButton *b : dialog.findChildren<QPushButton *>())
                if (b->isVisibleTo(&dialog))
                    texts << b->text();
            return texts;
        }();
        QVERIFY(buttons.contains(TextTable::text(TextTable::TextWarningKeepAsConfig1)));
        QVERIFY(buttons.contains(TextTable::text(TextTable::TextWarningLoadConfig1)));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(keep.count() + load.count(), 0);
    }
};

QTEST_MAIN(TestWarningDialog)
#include "tst_warningdialog.moc"
