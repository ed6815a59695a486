// The window in English, as a person whose desktop speaks English meets it:
// with a mouse of each family open, no widget of any page or dialog shows
// a Han character, and every text index the program asks for has English.
#include "app/MainWindow.h"
#include "store/TextTable.h"
#include "support/WindowRig.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QtTest>

namespace {

bool hasHan(const QString &text)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return han.match(text).hasMatch();
}

// Every text a widget shows or tells: caption, items, tooltip, title, and
// the name a screen reader speaks.
QStringList textsOf(QWidget *w)
{
    QStringList texts{w->toolTip(), w->accessibleName(), w->windowTitle()};
    if (auto *l = qobject_cast<QLabel *>(w))
        texts << l->text();
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        texts << b->text();
    if (auto *e = qobject_cast<QLineEdit *>(w))
        texts << e->placeholderText();
    if (auto *g = qobject_cast<QGroupBox *>(w))
        texts << g->title();
    if (auto *c = qobject_cast<QComboBox *>(w))
        for (int i = 0; i < c->count(); ++i)
            texts << c->itemText(i);
    return texts;
}

} // namespace

class TestEnglishWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), TextTable::kEnglishSlot),
                 TextTable::Loaded);
    }

    void noHanCharacters_data()
    {
        QTest::addColumn<QString>("mouse");
        QTest::newRow("first family by cable") << "kestrel";
        QTest::newRow("first family by receiver") << "merlin-receiver";
        QTest::newRow("second family") << "harrier";
        QTest::newRow("third family") << "wren";
    }

    void noHanCharacters()
    {
        QFETCH(QString, mouse);
        WindowRig rig;
        QVERIFY(rig.plugAndOpen(mouse));
        QTest::qWait(300); // texts that come after the open: the firmware check's answer
        QStringList found;
        for (QWidget *w : rig.window->findChildren<QWidget *>()) {
            for (const QString &text : textsOf(w))
                if (hasHan(text))
                    found << QStringLiteral("%1 (%2): %3").arg(w->objectName(), QLatin1String(w->metaObject()->className()), text);
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    // Every named text index of the program has its English text.
    void everyTextIndexHasEnglish()
    {
        const QMetaEnum indexes = QMetaEnum::fromType<TextTable::TextIndex>();
        QStringList missing;
        for (int i = 0; i < indexes.keyCount(); ++i)
            if (TextTable::text(indexes.value(i)).trimmed().isEmpty())
                missing << QLatin1String(indexes.key(i));
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    }
};

QTEST_MAIN(TestEnglishWindow)
#include "tst_englishwindow.moc"
