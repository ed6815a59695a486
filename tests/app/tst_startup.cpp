// Start-up steps: language, fonts, style sheet, identity and the empty frame.
#include "support/MessageCapture.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "store/TextTable.h"
#include "platform/AppPaths.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QScreen>
#include <QFontInfo>
#include <QPushButton>
#include <QtTest>

namespace {
const QString kShippedFont = QStringLiteral("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc");
}

class TestStartup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;

    // A language file whose slot n holds the single text "slot n".
    QString writeLanguageFile()
    {
        QJsonArray table;
        for (int slot = 0; slot < TextTable::kSlotCount; ++slot)
            table.append(QJsonArray{QStringLiteral("slot %1").arg(slot)});
        const QString path = m_root.path() + QStringLiteral("/translate.json");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QString();
        file.write(QJsonDocument(table).toJson());
        return path;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_root.isValid());
        AppPaths::setDataRoot(m_root.path());
    }
    void cleanupTestCase() { AppPaths::setDataRoot(QString()); }

    void systemLanguageChoosesTheSlot_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("Chinese") << int(QLocale::Chinese) << "slot 0";
        QTest::newRow("Albanian") << int(QLocale::Albanian) << "slot 3";
        QTest::newRow("Ukrainian") << int(QLocale::Ukrainian) << "slot 11";
        QTest::newRow("English") << int(QLocale::English) << "slot 1";
        QTest::newRow("French, outside the table") << int(QLocale::French) << "slot 1";
    }
    void systemLanguageChoosesTheSlot()
    {
        QFETCH(int, language);
        QFETCH(QString, text);
        const QString path = writeLanguageFile();
        MessageCapture capture;
        Startup::loadSysLanguage(QLocale::Language(language), path);
        QCOMPARE(TextTable::text(0), text);
        QVERIFY(!MessageCapture::messages().isEmpty());
        QVERIFY(MessageCapture::messages().first().startsWith(QStringLiteral("loadSysLanguage")));
    }

    void languageFileThatIsAnObjectLeavesTheTableEmpty()
    {
        const QString path = m_root.path() + QStringLiteral("/object.json");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"texts":[["a"],["b"]]})");
        file.close();
        TextTable::setTable(QJsonArray{QStringLiteral("old")});

        MessageCapture capture;
        Startup::loadSysLanguage(QLocale::English, path);
        QCOMPARE(TextTable::size(), 0);
        QVERIFY(!MessageCapture::messages().contains(QStringLiteral("NoArray")));
    }

    void fontsAreRegisteredAndReported()
    {
        if (!QFile::exists(kShippedFont))
            QSKIP("fonts-wqy-microhei is not installed");
        const QString folder = m_root.path() + QStringLiteral("/Font");
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/nested")));
        QVERIFY(QFile::copy(kShippedFont, folder + QStringLiteral("/wqy-microhei.ttc")));
        for (const QString &name : {QStringLiteral("broken.ttf"), QStringLiteral(".hidden.ttf"),
                                   QStringLiteral("nested/inner.ttf")}) {
            QFile garbage(folder + QLatin1Char('/') + name);
            QVERIFY(garbage.open(QIODevice::WriteOnly));
            garbage.write("not a font");
        }
        QVERIFY(QFile::link(folder + QStringLiteral("/broken.ttf"), folder + QStringLiteral("/link.ttf")));
        const QFont applicationFont = QApplication::font();

        MessageCapture capture;
        Startup::loadFonts(folder);

        QStringList messages = MessageCapture::messages();
        messages.sort();
        QCOMPARE(messages.size(), 3);
        QVERIFY2(messages.at(0).startsWith(QStringLiteral("Add Font : WenQuanYi Micro Hei,")), qPrintable(messages.at(0)));
        QVERIFY(messages.at(0).contains(QStringLiteral(",50,")));
        QCOMPARE(messages.at(1), QStringLiteral("error : addApplicationFont ") + folder + QStringLiteral("/.hidden.ttf"));
        QCOMPARE(messages.at(2), QStringLiteral("error : addApplicationFont ") + folder + QStringLiteral("/broken.ttf"));
        QVERIFY(QFontDatabase().families().contains(QStringLiteral("WenQuanYi Micro Hei")));
        QCOMPARE(QApplication::font(), applicationFont);
    }

    void missingFontFolderIsQuiet()
    {
        MessageCapture capture;
        Startup::loadFonts(m_root.path() + QStringLiteral("/NoSuchFolder"));
        QVERIFY(MessageCapture::messages().isEmpty());
    }

    void styleSheetAppliesToTheWindow()
    {
        QFile resource(QStringLiteral(":/qss/qss/myStyle.qss"));
        MainWindow window;
        QVERIFY(resource.open(QIODevice::ReadOnly));
        const QString expected = QString::fromUtf8(resource.readAll());
        QVERIFY(!expected.isEmpty());

        MessageCapture capture;
        QVERIFY(Startup::applyStyleSheet(&window));
        QCOMPARE(window.styleSheet(), expected);
        QCOMPARE(MessageCapture::messages(), QStringList{QStringLiteral("open")});
    }

    // Without a Font folder of its own the window's text is set in the
    // system's WenQuanYi Micro Hei, which fontconfig finds.
    void systemFontWithoutAFontFolder()
    {
        if (!QFontDatabase().families().contains(QStringLiteral("WenQuanYi Micro Hei")))
            QSKIP("fonts-wqy-microhei is not installed");
        MainWindow window;
        QVERIFY(Startup::applyStyleSheet(&window));
        window.show();
        auto *title = window.findChild<QPushButton *>(QStringLiteral("MainSettingButton"));
        QVERIFY(title);
        title->ensurePolished();
        QCOMPARE(QFontInfo(title->font()).family(), QStringLiteral("WenQuanYi Micro Hei"));
    }

    void identity()
    {
        Startup::setApplicationIdentity();
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("HarrierDriver"));
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("0.9.013950.0828"));
    }

    void emptyFrame()
    {
        MainWindow window;
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        // The designed size, or the screen's room when that is smaller.
        const QSize size = QSize(960, 640).boundedTo(QGuiApplication::primaryScreen()->availableGeometry().size());
        QCOMPARE(window.minimumSize(), size);
        QCOMPARE(window.maximumSize(), size);
        QCOMPARE(window.windowTitle(), QStringLiteral("HarrierDriver"));
        QCOMPARE(window.palette().color(QPalette::Window), QColor(Qt::black));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
