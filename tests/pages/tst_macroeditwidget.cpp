// The macro page driven as a user drives it: clicks on its buttons, keys
// typed into it (with the X11 keycodes Linux reports), text typed into its
// fields; what counts is what the macro file then holds.
#include "pages/MacroEditWidget.h"
#include "store/JsonHandle.h"
#include "store/TextTable.h"
#include "support/MacroNodes.h"
#include "support/PageInput.h"
#include "support/TempAppFolder.h"

#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QComboBox>
#include <QtTest>

namespace {

QList<int> keyValues(const QList<MacroNode> &nodes)
{
    QList<int> keys;
    for (const MacroNode &node : nodes)
        keys << node.keyValue;
    return keys;
}

} // namespace

class TestMacroEditWidget : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<MacroEditWidget> m_page;
    JsonHandle m_json;

    template <typename T>
    T *child(const char *name)
    {
        return namedChild<T>(m_page.get(), name);
    }
    QListWidget *events() { return child<QListWidget>("EventListWidget"); }
    QListWidget *names() { return child<QListWidget>("MacroNameListWidget"); }
    void click(const char *name) { clickNamed(m_page.get(), name); }

    // A new macro, made with the page's own button; returns its file.
    QString createMacro()
    {
        click("CreateButton");
        return names()->currentItem()->data(Qt::UserRole).toString();
    }

    // A macro file holding these events, selected on the page.
    QString macroWith(const QList<MacroNode> &nodes)
    {
        const QString path = m_json.createNewMacroFile();
        m_json.setMacroNodeList(path, nodes);
        m_page->reloadLists();
        for (int row = 0; row < names()->count(); ++row)
            if (names()->item(row)->data(Qt::UserRole).toString() == path)
                names()->setCurrentRow(row);
        return path;
    }

    QStringList rowTexts()
    {
        QStringList texts;
        for (int row = 0; row < events()->count(); ++row)
            texts << events()->item(row)->text().section(QLatin1Char(' '), -1);
        return texts;
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<TempAppFolder>();
        QJsonArray table;
        for (int i = 0; i <= TextTable::TextMacroStopRecording; ++i)
            table.append(QString());
        table[TextTable::TextMacroStartRecording] = QStringLiteral("Record");
        table[TextTable::TextMacroStopRecording] = QStringLiteral("Stop");
        table[TextTable::TextNewMacroName] = QStringLiteral("New macro");
        TextTable::setTable(table);
        m_page = std::make_unique<MacroEditWidget>();
        m_page->show();
    }
    void cleanup()
    {
        m_page.reset();
        m_folder.reset();
    }

    void createsRenamesAndDeletesMacros()
    {
        const QString path = createMacro();
        QVERIFY(QFile::exists(path));
        QCOMPARE(m_json.getMacroName(path), QStringLiteral("New macro"));
        QCOMPARE(path.section(QLatin1Char('/'), -3, -2), QStringLiteral("MacroFiles/PlayerCustom"));

        names()->currentItem()->setText(QStringLiteral("Reload"));
        QCOMPARE(m_json.getMacroName(path), QStringLiteral("Reload"));

        click("DeleteButton");
        QVERIFY(!QFile::exists(path));
        QCOMPARE(names()->count(), 0);
    }

    // Before a macro is chosen, recording is off and says what it waits
    // for; the user's own folder is shown by a readable name.
    void recordingWaitsForAMacro()
    {
        QJsonArray table;
        while (table.size() <= TextTable::TextMacroChooseEventFirst)
            table.append(QString());
        table[TextTable::TextMacroChooseFirst] = QStringLiteral("Choose a macro first");
        table[TextTable::TextMacroOwnGroup] = QStringLiteral("My macros");
        TextTable::setTable(table);
        m_page->reloadLists();
        auto *record = child<QPushButton>("StartRecordButton");
        QVERIFY(!record->isEnabled());
        QCOMPARE(record->toolTip(), QStringLiteral("Choose a macro first"));
        QCOMPARE(child<QComboBox>("MacroTitleComboBox")->currentText(), QStringLiteral("My macros"));
        createMacro();
        QVERIFY(record->isEnabled());
    }

    void recordsKeysWithTheDelaysBetweenThem()
    {
        const QString path = createMacro();
        QSignalSpy ban(m_page.get(), &MacroEditWidget::sig_BanClickTopButton);
        click("StartRecordButton");
        QCOMPARE(child<QPushButton>("StartRecordButton")->text(), QStringLiteral("Stop"));
        QCOMPARE(ban.takeFirst(), (QVariantList{true, true}));
        QVERIFY(!names()->isEnabled());

        sendKey(m_page.get(), QEvent::KeyPress, Qt::Key_A, Keycode::A);
        sendKey(m_page.get(), QEvent::KeyPress, Qt::Key_A, Keycode::A, true); // held: auto-repeats
        sendKey(m_page.get(), QEvent::KeyPress, Qt::Key_A, Keycode::A, true);
        QTest::qWait(200);
        sendKey(m_page.get(), QEvent::KeyRelease, Qt::Key_A, Keycode::A);
        QCOMPARE(rowTexts().size(), 3); // press, delay, release
        QVERIFY(events()->item(1)->data(MacroEditWidget::RowTimeRole).toInt() >= 200);

        tapKey(m_page.get(), Qt::Key_Control, Keycode::RightCtrl);
        tapKey(m_page.get(), Qt::Key_Control, Keycode::LeftCtrl);
        click("StartRecordButton");
        QCOMPARE(ban.takeFirst(), (QVariantList{false, false}));
        QCOMPARE(child<QPushButton>("StartRecordButton")->text(), QStringLiteral("Record"));

        const QList<MacroNode> nodes = m_json.getMacroNodeList(path);
        QCOMPARE(keyValues(nodes), (QList<int>{0x41, 0x41, 163, 163, 162, 162}));
        QCOMPARE(nodes.at(0).state, 0);
        QCOMPARE(nodes.at(1).state, 1);
        // Each delay sits on the event before it; the last event has none.
        QVERIFY(nodes.at(0).timeLapse >= 200);
        QCOMPARE(nodes.last().timeLapse, 0);
        // 3 for the first press, 7 for the release 200 ms later, 3 for each quick one.
        QCOMPARE(m_json.getMacroLength(path), 3 + 7 + 4 * 3);

        // Loading the file again lays the same rows out, less delays of 0 ms.
        QStringList recorded = rowTexts();
        recorded.removeAll(QStringLiteral("0ms"));
        m_page->reloadLists();
        names()->setCurrentRow(0);
        QCOMPARE(rowTexts(), recorded);
    }

    void recordsThePagesMouseButtons()
    {
        const QString path = createMacro();
        click("StartRecordButton");
        click("LeftMouseButton");
        click("MidMouseButton");
        click("RightMouseButton");
        click("StartRecordButton");
        QCOMPARE(keyValues(m_json.getMacroNodeList(path)), (QList<int>{1, 1, 4, 4, 2, 2}));
    }

    void stopsAtTheLengthLimit()
    {
        const QString path = createMacro();
        QSignalSpy warning(m_page.get(), &MacroEditWidget::sig_ShowWarningWidgetOnMacroEditWidget);
        click("StartRecordButton");
        for (int i = 0; i < 200; ++i)
            tapKey(m_page.get(), Qt::Key_B, Keycode::B);
        QVERIFY(!m_page->isRecording());
        QCOMPARE(warning.count(), 1);
        QCOMPARE(warning.first().first().toInt(), 27);
        // 300 quick events of 3 bytes; each slow moment on the machine (a
        // sanitizer build under load has many) costs 7 for one of them.
        const int recorded = m_json.getMacroNodeList(path).size();
        QVERIFY2(recorded >= JsonHandle::MacroLengthLimit / 7 && recorded <= JsonHandle::MacroLengthLimit / 3,
                 qPrintable(QString::number(recorded)));
        QVERIFY(m_json.getMacroLength(path) >= JsonHandle::MacroLengthLimit);

        // A macro at the limit takes no more events by hand.
        events()->setCurrentRow(0);
        click("AddEventButton");
        QCOMPARE(warning.count(), 2);
        QVERIFY(!child<QWidget>("EditArea")->isVisible());
    }

    // A keyboard alone records and edits: Space on the record button starts,
    // Tab is a key of the macro, Escape stops; the step editor takes a key
    // (Escape too) in its field and Tab moves on to its OK.
    void recordsAndEditsFromTheKeyboardAlone()
    {
        const QString path = createMacro();
        QApplication::setActiveWindow(m_page.get());
        QVERIFY(QTest::qWaitForWindowActive(m_page.get()));
        auto *record = child<QPushButton>("StartRecordButton");
        record->setFocus(Qt::TabFocusReason);
        QTest::keyClick(record, Qt::Key_Space);
        QVERIFY(m_page->isRecording());
        tapKey(QApplication::focusWidget(), Qt::Key_A, Keycode::A);
        tapKey(QApplication::focusWidget(), Qt::Key_Tab, Keycode::Tab);
        QVERIFY(m_page->isRecording());
        tapKey(QApplication::focusWidget(), Qt::Key_Escape, Keycode::Escape);
        QVERIFY(!m_page->isRecording());
        QCOMPARE(QApplication::focusWidget(), record);
        QCOMPARE(keyValues(m_json.getMacroNodeList(path)), (QList<int>{0x41, 0x41, 0x09, 0x09}));

        events()->setCurrentRow(0);
        auto *add = child<QPushButton>("AddEventButton");
        add->setFocus(Qt::TabFocusReason);
        QTest::keyClick(add, Qt::Key_Space);
        auto *field = child<QLineEdit>("EditLineEdit");
        QCOMPARE(QApplication::focusWidget(), field);
        tapKey(field, Qt::Key_Escape, Keycode::Escape);
        QVERIFY(child<QWidget>("EditArea")->isVisible());
        QTest::keyClick(field, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), child<QPushButton>("AddCertainButton"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(!child<QWidget>("EditArea")->isVisible());
        QCOMPARE(QApplication::focusWidget(), events());
        QCOMPARE(keyValues(m_json.getMacroNodeList(path)), (QList<int>{0x41, 0x1B, 0x1B, 0x41, 0x09, 0x09}));
    }

    // Leaving the page or losing the mouse ends the recording; nothing recorded is lost.
    void stopsCleanlyAndKeepsTheEvents_data()
    {
        QTest::addColumn<bool>("leavePage");
        QTest::newRow("page left") << true;
        QTest::newRow("mouse gone") << false;
    }
    void stopsCleanlyAndKeepsTheEvents()
    {
        QFETCH(bool, leavePage);
        const QString path = createMacro();
        QSignalSpy ban(m_page.get(), &MacroEditWidget::sig_BanClickTopButton);
        click("StartRecordButton");
        tapKey(m_page.get(), Qt::Key_A, Keycode::A);
        if (leavePage)
            m_page->hide();
        else
            m_page->resetRecordState();
        QVERIFY(!m_page->isRecording());
        QCOMPARE(ban.last(), (QVariantList{false, false}));
        QCOMPARE(keyValues(m_json.getMacroNodeList(path)), (QList<int>{0x41, 0x41}));
        QVERIFY(names()->isEnabled());
    }

    void removingAKeyBetweenTwoDelaysLeavesOneSummedDelay()
    {
        const QString path = macroWith({keyNode(0x41, 0, 100), keyNode(0x42, 0, 50), keyNode(0x43, 0, 0)});
        QCOMPARE(rowTexts(), (QStringList{"A", "100ms", "B", "50ms", "C"}));
        events()->setCurrentRow(2);
        click("ReduceEventButton");
        QCOMPARE(rowTexts(), (QStringList{"A", "150ms", "C"}));
        const QList<MacroNode> nodes = m_json.getMacroNodeList(path);
        QCOMPARE(keyValues(nodes), (QList<int>{0x41, 0x43}));
        QCOMPARE(nodes.at(0).timeLapse, 150);
    }

    void editsDelaysKeysAndPositions()
    {
        const QString path = macroWith({keyNode(0x41, 0, 0), keyNode(0x41, 1, 0)});
        auto *field = child<QLineEdit>("EditLineEdit");

        // A delay after the press: 9999 is taken, a fifth digit is not.
        events()->setCurrentRow(0);
        click("AddEventButton");
        click("ChangeOrInsertDelayTimeRadioButton");
        QTest::keyClicks(field, QStringLiteral("10000"));
        QCOMPARE(field->text(), QStringLiteral("1000"));
        field->clear();
        QTest::keyClicks(field, QStringLiteral("9999"));
        click("AddCertainButton");
        QCOMPARE(rowTexts(), (QStringList{"A", "9999ms", "A"}));
        QCOMPARE(m_json.getMacroNodeList(path).at(0).timeLapse, 9999);

        // Another delay right after it merges into one.
        events()->setCurrentRow(1);
        click("AddEventButton");
        click("ChangeOrInsertDelayTimeRadioButton");
        QTest::keyClicks(field, QStringLiteral("1"));
        click("AddCertainButton");
        QCOMPARE(rowTexts(), (QStringList{"A", "10000ms", "A"}));

        // Replacing the release with a key typed into the page gives its press and release.
        events()->setCurrentRow(2);
        click("EditEventButton");
        click("ChangeOrInsertKeyRadioButton");
        tapKey(m_page.get(), Qt::Key_B, Keycode::B);
        QCOMPARE(field->text(), QStringLiteral("B"));
        click("AddCertainButton");
        QCOMPARE(keyValues(m_json.getMacroNodeList(path)), (QList<int>{0x41, 0x42, 0x42}));

        // A mouse position after the first row.
        events()->setCurrentRow(0);
        click("AddEventButton");
        click("ChangeOrInsetAMousePositionRadioButton");
        QTest::keyClicks(field, QStringLiteral("120"));
        QTest::keyClicks(child<QLineEdit>("YLineEdit"), QStringLiteral("45"));
        click("AddCertainButton");
        const QList<MacroNode> nodes = m_json.getMacroNodeList(path);
        QCOMPARE(nodes.size(), 4);
        QCOMPARE(nodes.at(1).valueType, 6);
        QCOMPARE(nodes.at(1).coordinateX, 120);
        QCOMPARE(nodes.at(1).coordinateY, 45);
        QCOMPARE(events()->item(1)->text(), QStringLiteral("(120,45)"));
    }

    void playbackSettingsAreStoredAtOnce()
    {
        const QString path = createMacro();
        click("PlayWhenItPressed_RadioButton");
        QCOMPARE(m_json.getMacroType(path), 4);
        QVERIFY(!child<QSpinBox>("RepeatTimesSpinBox")->isEnabled());
        click("PlayUntilPressAgain_RadioButton");
        QCOMPARE(m_json.getMacroType(path), 2);
        click("LoopCount_RadioButton");
        QCOMPARE(m_json.getMacroType(path), 0);
        child<QSpinBox>("RepeatTimesSpinBox")->setValue(7);
        QCOMPARE(m_json.getRepeatTimes(path), 7);
        click("IgnoreEventWaiteTimeCheckBox");
        QCOMPARE(m_json.getIgnoreDelayTime(path), 2);
        click("IgnoreEventWaiteTimeCheckBox");
        QCOMPARE(m_json.getIgnoreDelayTime(path), 0);

        // Choosing the macro again shows what its file holds.
        click("PlayWhenItPressed_RadioButton");
        m_page->reloadLists();
        names()->setCurrentRow(0);
        QVERIFY(child<QRadioButton>("PlayWhenItPressed_RadioButton")->isChecked());
        QCOMPARE(child<QSpinBox>("RepeatTimesSpinBox")->value(), 7);
    }
};

QTEST_MAIN(TestMacroEditWidget)
#include "tst_macroeditwidget.moc"
