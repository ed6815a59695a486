// The text table: lookups, the language file loader and the shipped file.
#include "support/MessageCapture.h"
#include "store/TextTable.h"
#include "platform/AppPaths.h"
#include "support/TempAppFolder.h"

#include <QFile>
#include <QJsonDocument>
#include <QMetaEnum>
#include <QStandardPaths>
#include <QtTest>

class TestTextTable : public QObject
{
    Q_OBJECT

private:
    TempAppFolder m_root;

    QString writeFile(const QByteArray &bytes)
    {
        const QString path = m_root.path() + QStringLiteral("/translate.json");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QString();
        file.write(bytes);
        return path;
    }

    static QJsonArray sampleTable()
    {
        return QJsonArray{QStringLiteral("zero"), QStringLiteral("one")};
    }

private slots:
    void initTestCase() { QVERIFY(m_root.isValid()); }

    void lookup_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first") << 0 << "zero";
        QTest::newRow("last") << 2 << "two";
        QTest::newRow("past the end") << 4 << "";
        QTest::newRow("far past the end") << 100000 << "";
        QTest::newRow("negative") << -1 << "";
        QTest::newRow("not a string") << 3 << "";
    }
    void lookup()
    {
        QFETCH(int, index);
        QFETCH(QString, expected);
        TextTable::setTable(QJsonArray{QStringLiteral("zero"), QStringLiteral("one"), QStringLiteral("two"), 42});
        QCOMPARE(TextTable::text(index), expected);
    }

    void loadPicksTheSlot()
    {
        const QString path = writeFile(R"([["甲","乙"],["a","b","c"]])");
        QCOMPARE(TextTable::loadTextTable(path, 1), TextTable::Loaded);
        QCOMPARE(TextTable::size(), 3);
        QCOMPARE(TextTable::text(2), QStringLiteral("c"));
        QCOMPARE(TextTable::loadTextTable(path, 0), TextTable::Loaded);
        QCOMPARE(TextTable::text(1), QStringLiteral("乙"));
    }

    void badFilesLeaveTheTableEmpty_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("result");
        QTest::newRow("object, no NoArray") << QByteArray(R"({"0":["a"]})") << false << 1 << int(TextTable::NotAnArray);
        QTest::newRow("not JSON") << QByteArray("[[\"a\"") << false << 1 << int(TextTable::NoArray);
        QTest::newRow("empty file") << QByteArray() << false << 1 << int(TextTable::NoArray);
        QTest::newRow("binary garbage") << QByteArray("\xff\xfe\x00\x01", 4) << false << 1 << int(TextTable::NoArray);
        QTest::newRow("missing file") << QByteArray() << true << 1 << int(TextTable::NoArray);
        QTest::newRow("slot past the end") << QByteArray(R"([["a"]])") << false << 5 << int(TextTable::Loaded);
        QTest::newRow("slot not an array") << QByteArray(R"([["a"],"b"])") << false << 1 << int(TextTable::Loaded);
        QTest::newRow("empty array") << QByteArray("[]") << false << 0 << int(TextTable::Loaded);
    }
    void badFilesLeaveTheTableEmpty()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, missing);
        QFETCH(int, slot);
        QFETCH(int, result);
        const QString path = missing ? m_root.path() + QStringLiteral("/absent.json") : writeFile(content);
        TextTable::setTable(sampleTable());

        MessageCapture capture;
        QCOMPARE(int(TextTable::loadTextTable(path, slot)), result);

        QCOMPARE(TextTable::size(), 0);
        QCOMPARE(TextTable::text(0), QString());
        const QStringList expected =
            result == TextTable::NoArray ? QStringList{QStringLiteral("NoArray")} : QStringList();
        QCOMPARE(MessageCapture::messages(), expected);
    }

    void slotOfEveryLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("slot");
        QTest::newRow("Chinese") << int(QLocale::Chinese) << 0;
        QTest::newRow("English") << int(QLocale::English) << 1;
        QTest::newRow("Korean") << int(QLocale::Korean) << 2;
        QTest::newRow("Albanian") << int(QLocale::Albanian) << 3;
        QTest::newRow("German") << int(QLocale::German) << 4;
        QTest::newRow("Italian") << int(QLocale::Italian) << 6;
        QTest::newRow("Spanish") << int(QLocale::Spanish) << 7;
        QTest::newRow("Dutch") << int(QLocale::Dutch) << 8;
        QTest::newRow("Portuguese") << int(QLocale::Portuguese) << 9;
        QTest::newRow("Russian") << int(QLocale::Russian) << 10;
        QTest::newRow("Ukrainian") << int(QLocale::Ukrainian) << 11;
        QTest::newRow("French, outside the table") << int(QLocale::French) << 1;
        QTest::newRow("Japanese, outside the table") << int(QLocale::Japanese) << 1;
        QTest::newRow("C locale") << int(QLocale::C) << 1;
    }
    void slotOfEveryLanguage()
    {
        QFETCH(int, language);
        QFETCH(int, slot);
        QCOMPARE(TextTable::slotForLanguage(QLocale::Language(language)), slot);
    }

    // The file the program ships: twelve slots of one length, strings only,
    // and a text in Chinese and English at every named index.
    void shippedFileHasEveryNamedText()
    {
        QFile file(QStringLiteral(HARRIER_SOURCE_DIR "/resources/translate.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
        QVERIFY(document.isArray());
        const QJsonArray languages = document.array();
        QCOMPARE(languages.size(), TextTable::kSlotCount);
        const int length = languages.at(0).toArray().size();
        for (const QJsonValue &slotValue : languages) {
            QVERIFY(slotValue.isArray());
            QCOMPARE(slotValue.toArray().size(), length);
            for (const QJsonValue &entry : slotValue.toArray())
                QVERIFY(entry.isString());
        }

        const QMetaEnum names = QMetaEnum::fromType<TextTable::TextIndex>();
        QVERIFY(names.keyCount() > 0);
        for (int slot : {TextTable::kChineseSlot, TextTable::kEnglishSlot}) {
            QCOMPARE(TextTable::loadTextTable(file.fileName(), slot), TextTable::Loaded);
            for (int k = 0; k < names.keyCount(); ++k)
                QVERIFY2(!TextTable::text(names.value(k)).trimmed().isEmpty(),
                         qPrintable(QStringLiteral("slot %1: %2").arg(slot).arg(QLatin1String(names.key(k)))));
        }
        QCOMPARE(TextTable::text(TextTable::TextNewMacroName), QStringLiteral("New macro"));
    }
};

QTEST_GUILESS_MAIN(TestTextTable)
#include "tst_texttable.moc"
