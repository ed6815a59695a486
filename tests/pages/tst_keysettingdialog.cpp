// The key dialog driven as a user drives it: keys typed into it (with the
// X11 keycodes Linux reports), tabs, lists and OK clicked; what counts is
// what it sends toward the mouse.
#include "data/DCDataHandle.h"
#include "pages/KeySettingDialog.h"
#include "pages/MyPushButton.h"
#include "store/JsonHandle.h"
#include "store/SettingsFiles.h"
#include "store/TextTable.h"
#include "support/MacroNodes.h"
#include "support/PageInput.h"
#include "support/TempAppFolder.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QJsonArray>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

// A key typed after clicking the key field, as a person assigns one.
void press(QWidget *dialog, int qtKey, quint32 keycode)
{
    startKeyCapture(dialog);
    sendKey(dialog, QEvent::KeyPress, qtKey, keycode);
}

} // namespace

class TestKeySettingDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<KeySettingDialog> m_dialog;
    JsonHandle m_json;

    template <typename T>
    T *child(const char *name)
    {
        return namedChild<T>(m_dialog.get(), name);
    }
    void click(const char *name) { clickNamed(m_dialog.get(), name); }
    void open(int mouseType, int button)
    {
        m_dialog->setMouseType(mouseType);
        m_dialog->setButton(button);
        m_dialog->show();
    }
    QList<int> basicRows()
    {
        QList<int> rows;
        auto *list = child<QListWidget>("BasicFunctionListWidget");
        for (int i = 0; i < list->count(); ++i)
            rows << list->item(i)->data(Qt::UserRole).toInt();
        return rows;
    }
    // A user macro with a name, a playback type and n key events.
    QString macro(const QString &name, int type, int events)
    {
        static int tick = 0;
        const QString path = m_json.createNewMacroFile(QDateTime(QDate(2026, 1, 1), QTime(0, 0)).addMSecs(++tick));
        m_json.setMacroName(path, name);
        m_json.setMacroType(path, type);
        QList<MacroNode> nodes;
        for (int i = 0; i < events; ++i)
            nodes << keyNode(0x41, i % 2, 0);
        if (events)
            m_json.setMacroNodeList(path, nodes);
        return path;
    }
    // Opens the macro page on the users' group.
    QListWidget *macroList()
    {
        click("MarcoEditButton");
        auto *groups = child<QListWidget>("MacroTitleListWidget");
        const QList<QListWidgetItem *> found = groups->findItems(QStringLiteral("PlayerCustom"), Qt::MatchExactly);
        if (found.isEmpty())
            qFatal("no macro group");
        QTest::mouseClick(groups->viewport(), Qt::LeftButton, Qt::NoModifier,
                          groups->visualItemRect(found.first()).center());
        return child<QListWidget>("MacroNameListWidget");
    }
    QListWidgetItem *macroItem(QListWidget *list, const QString &name)
    {
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<TempAppFolder>();
        QJsonArray table;
        for (int i = 0; i <= TextTable::TextButtonFactorySetting; ++i)
            table.append(QStringLiteral("T%1").arg(i));
        table[TextTable::TextStatusKey] = QStringLiteral("Key:");
        TextTable::setTable(table);
        m_dialog = std::make_unique<KeySettingDialog>();
    }
    void cleanup()
    {
        m_dialog.reset();
        m_folder.reset();
    }

    void sendsAKeyWithModifiers()
    {
        open(2, 6);
        QSignalSpy sent(m_dialog.get(), &KeySettingDialog::sig_ButtonChangeToKey);
        press(m_dialog.get(), Qt::Key_Control, Keycode::LeftCtrl);
        press(m_dialog.get(), Qt::Key_Shift, Keycode::RightShift);
        press(m_dialog.get(), Qt::Key_A, Keycode::A);
        QCOMPARE(child<QLineEdit>("KeyLineEdit")->text(), QStringLiteral("A"));
        click("OKButton");
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.first(), (QVariantList{6, 0x41u, 3u, 29}));
        QCOMPARE(child<QLabel>("StatusLabel")->text(), QStringLiteral("Key: CTRL + SHIFT + A"));
        QVERIFY(!m_dialog->isVisible());
    }

    // Before the key field is clicked, Escape closes the dialog (nothing is
    // assigned) and Tab is no key; after it, a key is taken and listening ends.
    void keysAreTakenOnlyAfterTheFieldIsClicked()
    {
        open(2, 6);
        QSignalSpy sent(m_dialog.get(), &KeySettingDialog::sig_ButtonChangeToKey);
        auto *field = child<QLineEdit>("KeyLineEdit");
        sendKey(m_dialog.get(), QEvent::KeyPress, Qt::Key_Tab, Keycode::Tab);
        sendKey(m_dialog.get(), QEvent::KeyPress, Qt::Key_A, Keycode::A);
        QCOMPARE(field->text(), QString());
        QVERIFY(!field->property("capturing").toBool());

        startKeyCapture(m_dialog.get());
        QVERIFY(field->property("capturing").toBool());
        sendKey(m_dialog.get(), QEvent::KeyPress, Qt::Key_F5, Keycode::F5);
        QCOMPARE(field->text(), QStringLiteral("F5"));
        QVERIFY(!field->property("capturing").toBool());

        sendKey(m_dialog.get(), QEvent::KeyPress, Qt::Key_Escape, Keycode::Escape);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(field->text(), QStringLiteral("F5"));
        QCOMPARE(sent.count(), 0);
    }

    // By keyboard alone: the dialog opens on the key field, Return starts
    // listening, Tab is then the key taken; after it Tab moves on again.
    void takesAKeyFromTheKeyboardAlone()
    {
        open(2, 6);
        QApplication::setActiveWindow(m_dialog.get());
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        auto *field = child<QLineEdit>("KeyLineEdit");
        QCOMPARE(QApplication::focusWidget(), field);
        QSignalSpy sent(m_dialog.get(), &KeySettingDialog::sig_ButtonChangeToKey);
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(field->property("capturing").toBool());
        sendKey(field, QEvent::KeyPress, Qt::Key_Alt, 64);
        sendKey(field, QEvent::KeyPress, Qt::Key_Tab, Keycode::Tab);
        QCOMPARE(field->text(), QStringLiteral("TAB"));
        QVERIFY(!field->property("capturing").toBool());
        QCOMPARE(QApplication::focusWidget(), field);
        QTest::keyClick(field, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != field);
        child<QPushButton>("OKButton")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.first(), (QVariantList{6, 0x09u, 4u, 29}));
    }

    void ctrlTwiceSendsNothing()
    {
        open(2, 6);
        QSignalSpy sent(m_dialog.get(), &KeySettingDialog::sig_ButtonChangeToKey);
        press(m_dialog.get(), Qt::Key_Control, Keycode::LeftCtrl);
        QVERIFY(child<QCheckBox>("CtrlCheckBox")->isChecked());
        press(m_dialog.get(), Qt::Key_Control, Keycode::LeftCtrl);
        QVERIFY(!child<QCheckBox>("CtrlCheckBox")->isChecked());
        click("OKButton");
        QCOMPARE(sent.count(), 0);
    }

    void showsTheReportedAssignment_data()
    {
        QTest::addColumn<int>("changeType");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("status");
        // One form for keys and functions: "Label: value".
        QTest::newRow("modifiers 13 only") << 29 << 0 << 13 << "Key: CTRL + ALT + WIN";
        QTest::newRow("key alone") << 29 << 0x70 << 0 << "Key: F1";
        QTest::newRow("function") << 31 << 45 << 0 << "T123: CPI+";
        QTest::newRow("function by text") << 31 << 48 << 0 << "T123: T132";
        QTest::newRow("unknown function") << 31 << 99 << 0 << "T123:";
        QTest::newRow("macro") << 33 << 0 << 0 << "T292";
        QTest::newRow("disabled") << 41 << 0 << 0 << "T291";
    }
    void showsTheReportedAssignment()
    {
        QFETCH(int, changeType);
        QFETCH(int, value);
        QFETCH(int, modifiers);
        QFETCH(QString, status);
        DCDataHandle bridge;
        m_dialog->connectBridge(&bridge);
        open(2, 7);
        emit bridge.sig_TrueMouseValue(7, changeType, value, modifiers);
        QCOMPARE(child<QLabel>("StatusLabel")->text(), status);
        emit bridge.sig_TrueMouseValue(7, -1, -1, -1);
        QVERIFY(child<QLabel>("StatusLabel")->isHidden());
    }

    // Rows keep their number whatever is hidden; what OK sends comes from that number.
    void basicListRowsPerButtonAndModel_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<int>("button");
        QTest::addColumn<QList<int>>("hidden");
        QTest::newRow("button 11") << 2 << 11 << QList<int>{16};
        QTest::newRow("button 12, ten-button model") << 8 << 12 << QList<int>{16, 21};
        QTest::newRow("button 4") << 2 << 4 << QList<int>{20};
        QTest::newRow("button 6") << 2 << 6 << QList<int>{};
    }
    void basicListRowsPerButtonAndModel()
    {
        QFETCH(int, mouseType);
        QFETCH(int, button);
        QFETCH(QList<int>, hidden);
        open(mouseType, button);
        const QList<int> rows = basicRows();
        for (int row = 0; row < 22; ++row)
            QCOMPARE(rows.contains(row), !hidden.contains(row));

        QSignalSpy sent(m_dialog.get(), &KeySettingDialog::sig_ButtonChangeToKey);
        click("BasicFunctionButton");
        auto *list = child<QListWidget>("BasicFunctionListWidget");
        list->setCurrentRow(rows.indexOf(17));
        click("OKButton");
        QCOMPARE(sent.first(), (QVariantList{button, 0u, 0u, 44}));
    }

    void basicPageSendsTheTableRow()
    {
        open(2, 5);
        QSignalSpy sent(m_dialog.get(), &KeySettingDialog::sig_ButtonChangeToKey);
        click("BasicFunctionButton");
        click("OKButton"); // nothing selected: nothing sent
        QCOMPARE(sent.count(), 0);
        open(2, 5);
        click("BasicFunctionButton");
        child<QListWidget>("BasicFunctionListWidget")->setCurrentRow(4);
        click("OKButton");
        QCOMPARE(sent.first(), (QVariantList{5, 0xBBu, 1u, 30}));
    }

    void disableWinsOverTheOpenPage()
    {
        open(2, 5);
        QSignalSpy sent(m_dialog.get(), &KeySettingDialog::sig_ButtonChangeToKey);
        press(m_dialog.get(), Qt::Key_A, Keycode::A);
        click("BasicFunctionButton");
        child<QListWidget>("BasicFunctionListWidget")->setCurrentRow(3);
        click("DisableCheckBox");
        click("OKButton");
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.first(), (QVariantList{5, 0u, 0u, 41}));
    }

    void backToDefaultSendsTheCurrentValues()
    {
        open(2, 5);
        QSignalSpy sent(m_dialog.get(), &KeySettingDialog::sig_ButtonChangeToKey);
        click("BackToDefalutButton");
        QCOMPARE(sent.first(), (QVariantList{5, 0u, 0u, 32}));
        QVERIFY(!m_dialog->isVisible());
    }

    void aFifthMacroUnchecksTheFirst()
    {
        QStringList paths;
        for (int i = 1; i <= 5; ++i)
            paths << macro(QStringLiteral("M%1").arg(i), 0, 2);
        open(2, 4);
        QCOMPARE(m_dialog->maxMacroCount(), 4);
        QListWidget *list = macroList();
        QSignalSpy unchecked(m_dialog.get(), &KeySettingDialog::sig_SetFirstOneUnchecked);
        for (int i = 1; i <= 5; ++i)
            macroItem(list, QStringLiteral("M%1").arg(i))->setCheckState(Qt::Checked);
        QCOMPARE(unchecked.count(), 1);
        QCOMPARE(macroItem(list, QStringLiteral("M1"))->checkState(), Qt::Unchecked);

        QSignalSpy sent(m_dialog.get(), &KeySettingDialog::sig_WriteListMacro);
        click("OKButton");
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.first().first().toStringList(), paths.mid(1));
    }

    void aSingleMacroForOtherButtons()
    {
        const QString first = macro(QStringLiteral("First"), 0, 2);
        const QString second = macro(QStringLiteral("Second"), 0, 2);
        open(8, 6);
        QListWidget *list = macroList();
        macroItem(list, QStringLiteral("First"))->setCheckState(Qt::Checked);
        macroItem(list, QStringLiteral("Second"))->setCheckState(Qt::Checked);
        QCOMPARE(macroItem(list, QStringLiteral("First"))->checkState(), Qt::Unchecked);
        QSignalSpy sent(m_dialog.get(), &KeySettingDialog::sig_WriteSingleMacro);
        click("OKButton");
        QCOMPARE(sent.first(), (QVariantList{6, second}));
        Q_UNUSED(first);
    }

    // OK on the macro tab with nothing ticked keeps the dialog open and says
    // what it waits for, instead of doing nothing.
    void okWithNoMacroTickedSaysWhy()
    {
        QJsonArray table;
        for (int i = 0; i <= TextTable::TextKeyTickAMacro; ++i)
            table.append(QStringLiteral("T%1").arg(i));
        TextTable::setTable(table);
        macro(QStringLiteral("First"), 0, 2);
        open(8, 6);
        macroList();
        QSignalSpy single(m_dialog.get(), &KeySettingDialog::sig_WriteSingleMacro);
        QSignalSpy list(m_dialog.get(), &KeySettingDialog::sig_WriteListMacro);
        click("OKButton");
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(single.count() + list.count(), 0);
        auto *status = child<QLabel>("StatusLabel");
        QVERIFY(status->isVisible());
        QCOMPARE(status->text(), QStringLiteral("T%1").arg(int(TextTable::TextKeyTickAMacro)));
    }

    void refusesMacrosTheButtonCannotPlay_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<int>("button");
        QTest::addColumn<QList<int>>("macros"); // playback type per macro, -1 for one without events
        QTest::addColumn<int>("warning");
        QTest::newRow("held playback on button 11") << 2 << 11 << QList<int>{4} << 43;
        QTest::newRow("held playback on button 13, ten-button model") << 8 << 13 << QList<int>{4} << 43;
        QTest::newRow("held playback on button 13 elsewhere") << 2 << 13 << QList<int>{4} << -1;
        QTest::newRow("no events") << 2 << 6 << QList<int>{-1} << 50;
        QTest::newRow("no events in a list") << 2 << 4 << QList<int>{0, -1} << 51;
    }
    void refusesMacrosTheButtonCannotPlay()
    {
        QFETCH(int, mouseType);
        QFETCH(int, button);
        QFETCH(QList<int>, macros);
        QFETCH(int, warning);
        for (int i = 0; i < macros.size(); ++i)
            macro(QStringLiteral("M%1").arg(i), qMax(0, macros.at(i)), macros.at(i) < 0 ? 0 : 2);
        open(mouseType, button);
        QListWidget *list = macroList();
        for (int i = 0; i < macros.size(); ++i)
            macroItem(list, QStringLiteral("M%1").arg(i))->setCheckState(Qt::Checked);
        QSignalSpy warned(m_dialog.get(), &KeySettingDialog::sig_ShowWarningDialog);
        QSignalSpy single(m_dialog.get(), &KeySettingDialog::sig_WriteSingleMacro);
        QSignalSpy several(m_dialog.get(), &KeySettingDialog::sig_WriteListMacro);
        click("OKButton");
        QVERIFY(!m_dialog->isVisible());
        if (warning < 0) {
            QCOMPARE(warned.count(), 0);
            QCOMPARE(single.count(), 1);
        } else {
            QCOMPARE(warned.count(), 1);
            QCOMPARE(warned.first().first().toInt(), warning);
            QCOMPARE(single.count() + several.count(), 0);
        }
    }

    // The title names the button the dialog was opened for, as its model calls it.
    void titleNamesTheButton_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("left") << 11 << 4 << QStringLiteral("T132");
        QTest::newRow("first family CPI+") << 11 << 13 << QStringLiteral("CPI+");
        QTest::newRow("one CPI button") << 19 << 13 << QStringLiteral("CPI");
        QTest::newRow("custom 1") << 3 << 15 << QStringLiteral("T709");
        QTest::newRow("custom 2") << 3 << 16 << QStringLiteral("T710");
        QTest::newRow("lanner volume down") << 18 << 15 << QStringLiteral("T713");
        QTest::newRow("side wheel up") << 13 << 11 << QStringLiteral("T705");
    }
    void titleNamesTheButton()
    {
        QFETCH(int, mouseType);
        QFETCH(int, button);
        QFETCH(QString, title);
        open(mouseType, button);
        QCOMPARE(child<QLabel>("TitleLabel")->text(), title);
    }

    void theAdvancedPageIsNotOffered()
    {
        open(2, 5);
        QVERIFY(child<QPushButton>("HighestFunctionButton")->isHidden());
        QCOMPARE(m_dialog->currentPage(), int(KeySettingDialog::KeyPage));
    }

    // The advanced page, though not offered, works: its browse dialogs,
    // and the launch function it keeps for the button.
    void advancedPageKeepsALaunchFunction()
    {
        open(3, 15);
        m_dialog->setPage(KeySettingDialog::HighestPage);
        QTest::mouseClick(child<QCheckBox>("StartProgramCheckBox"), Qt::LeftButton);
        QVERIFY(child<QPushButton>("StartProgramButton")->isEnabled());
        QVERIFY(!child<QPushButton>("PlayMusicButton")->isEnabled());

        auto openedFileDialog = [this]() -> QFileDialog * {
            for (QFileDialog *d : m_dialog->findChildren<QFileDialog *>(QStringLiteral("HighestFunctionFileDialog")))
                if (d->isVisible())
                    return d;
            return nullptr;
        };
        click("StartProgramButton");
        QFileDialog *files = openedFileDialog();
        QVERIFY(files);
        QCOMPARE(files->windowTitle(), QStringLiteral("Open Program"));
        QCOMPARE(files->directory().absolutePath(), QStringLiteral("/usr/bin"));
        QCOMPARE(files->nameFilters(), QStringList{QStringLiteral("Program (*)")});
        const QString program = QStandardPaths::findExecutable(QStringLiteral("sh"));
        files->selectFile(program);
        QMetaObject::invokeMethod(files, "accept");
        QCOMPARE(child<QLineEdit>("StartProgramLineEdit")->text(), program);

        QSignalSpy sent(m_dialog.get(), &KeySettingDialog::sig_ButtonChangeToKey);
        click("OKButton");
        QCOMPARE(sent.count(), 0);
        int function = 0;
        QString path;
        QVERIFY(SettingsFiles::launchFunction(15, &function, &path));
        QCOMPARE(function, 2);
        QCOMPARE(path, program);

        // Opened again for that button, the page shows it; another box clears it.
        open(3, 15);
        m_dialog->setPage(KeySettingDialog::HighestPage);
        QVERIFY(child<QCheckBox>("StartProgramCheckBox")->isChecked());
        QCOMPARE(child<QLineEdit>("StartProgramLineEdit")->text(), program);
        QTest::mouseClick(child<QCheckBox>("OpenDirectoryCheckBox"), Qt::LeftButton);
        QVERIFY(!child<QCheckBox>("StartProgramCheckBox")->isChecked());
        QVERIFY(child<QLineEdit>("StartProgramLineEdit")->text().isEmpty());
        QVERIFY(!child<QPushButton>("StartProgramButton")->isEnabled());
        click("OpenDirectoryButton");
        files = openedFileDialog();
        QVERIFY(files);
        QCOMPARE(files->windowTitle(), QStringLiteral("Open Directory"));
        QCOMPARE(files->fileMode(), QFileDialog::Directory);
        files->reject();
    }

    void pictureButtonsPerModel_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("type 2") << 2 << QList<int>{4, 5, 6, 7, 8, 11, 12, 13, 14, 15};
        QTest::newRow("type 3") << 3 << QList<int>{4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 16, 17};
        QTest::newRow("type 6") << 6 << QList<int>{4, 5, 6, 7, 8, 11, 12, 13};
        QTest::newRow("type 9") << 9 << QList<int>{4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
        QTest::newRow("type 18") << 18 << QList<int>{4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16};
        QTest::newRow("type 19") << 19 << QList<int>{4, 5, 6, 7, 8, 11, 12, 13, 14};
    }
    void pictureButtonsPerModel()
    {
        QFETCH(int, mouseType);
        QFETCH(QList<int>, shown);
        for (int button = MyPushButton::FirstButton; button <= MyPushButton::LastButton; ++button)
            QCOMPARE(MyPushButton::isShown(mouseType, button), shown.contains(button));
    }

    void pictureButtonAsksForTheDialogWithItsAssignment()
    {
        QWidget picture;
        auto *button = new MyPushButton(7, &picture);
        picture.show();
        auto *cpiUp = new MyPushButton(9, &picture);
        cpiUp->setMouseType(9);
        QVERIFY(cpiUp->isVisible());
        cpiUp->setMouseType(2);
        QVERIFY(!cpiUp->isVisible());
        button->setMouseType(2);
        QSignalSpy asked(button, &MyPushButton::sig_ShowKeySettingDialog);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(asked.first(), (QVariantList{7, -1, -1, -1}));
        button->setAssignment(29, 0x41, 1);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(asked.last(), (QVariantList{7, 29, 0x41, 1}));
        button->setMouseButtonStyleSheetIsOriginal(false);
        QVERIFY(!button->isOriginal());
        QCOMPARE(button->changeType(), -1);
    }
};

QTEST_MAIN(TestKeySettingDialog)
#include "tst_keysettingdialog.moc"
