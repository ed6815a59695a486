// The window as a screen reader meets it: every page and the dialogs, with
// a mouse of each family open, walked through Qt's accessibility interface.
// Every interactive element (buttons, check and radio boxes, sliders, spin
// boxes, fields, lists, the colour wheel) has a name to speak.
#include "app/MainWindow.h"
#include "app/UpdateMouseDialog.h"
#include "pages/DrawDialog.h"
#include "pages/KeySettingDialog.h"
#include "pages/MainSettingWidget.h"
#include "pages/MouseButtonLayout.h"
#include "pages/MyPushButton.h"
#include "store/TextTable.h"
#include "support/WindowRig.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QAccessible>
#include <QAbstractItemView>
#include <QScrollBar>
#include <QListWidget>
#include <QComboBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

namespace {

bool interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::List:
    case QAccessible::ButtonMenu:
    case QAccessible::Dial:
        return true;
    default:
        return false;
    }
}

// The path of objects to an interface, for the failure message.
QString describe(QAccessibleInterface *iface)
{
    QObject *o = iface->object();
    return o ? QStringLiteral("%1 \"%2\" (role %3)")
                   .arg(QLatin1String(o->metaObject()->className()), o->objectName())
                   .arg(int(iface->role()))
             : QStringLiteral("(role %1)").arg(int(iface->role()));
}

void walk(QAccessibleInterface *iface, QStringList *unnamed, int depth = 0)
{
    if (!iface || depth > 40)
        return;
    if (iface->state().invisible)
        return;
    if (interactive(iface->role()) && iface->text(QAccessible::Name).trimmed().isEmpty())
        *unnamed << describe(iface);
    for (int i = 0; i < iface->childCount(); ++i)
        walk(iface->child(i), unnamed, depth + 1);
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QAccessible::setActive(true);
        TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), TextTable::kEnglishSlot);
    }

    void everyControlHasAName_data()
    {
        QTest::addColumn<QString>("mouse");
        QTest::newRow("first family by receiver") << "merlin-receiver";
        QTest::newRow("first family with a screen") << "kestrel";
        QTest::newRow("second family") << "harrier";
    }

    void tabReachesEveryControl();
    void tabReachesEveryControlOfTheDialogs();
    void tabReachesEveryControlOfThePairingPage();

    void everyControlHasAName()
    {
        QFETCH(QString, mouse);
        WindowRig rig;
        QVERIFY(rig.plugAndOpen(mouse));
        auto *stack = rig.window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
        QStringList unnamed;
        for (int page = 0; page < stack->count(); ++page) {
            stack->setCurrentIndex(page);
            QTest::qWait(20);
            QStringList here;
            walk(QAccessible::queryAccessibleInterface(rig.window.get()), &here);
            for (const QString &u : qAsConst(here))
                unnamed << QStringLiteral("page %1: %2").arg(page).arg(u);
        }
        // The dialogs and views over the pages, each as it opens.
        const auto walkTopLevel = [&](QWidget *w, const QString &what) {
            QStringList here;
            walk(QAccessible::queryAccessibleInterface(w), &here);
            for (const QString &u : qAsConst(here))
                unnamed << QStringLiteral("%1: %2").arg(what, u);
        };
        stack->setCurrentIndex(MainWindow::MacroEditPage);
        if (QWidget *editor = rig.window->findChild<QWidget *>(QStringLiteral("EditArea"))) {
            editor->show();
            walkTopLevel(rig.window.get(), QStringLiteral("macro step editor"));
            editor->hide();
        }
        stack->setCurrentIndex(MainWindow::MainSettingPage);
        QTest::qWait(20);
        for (MyPushButton *plate : rig.page()->findChildren<MyPushButton *>()) {
            if (!plate->isVisible())
                continue;
            QTest::mouseClick(plate, Qt::LeftButton);
            auto *keys = rig.window->findChild<KeySettingDialog *>();
            for (const char *tab : {"ConbinationKeyButton", "MarcoEditButton", "BasicFunctionButton"}) {
                if (auto *b = keys->findChild<QPushButton *>(QLatin1String(tab)))
                    b->click();
                walkTopLevel(keys, QStringLiteral("key dialog (%1)").arg(QLatin1String(tab)));
            }
            keys->close();
            break;
        }
        if (auto *draw = rig.page()->findChild<QPushButton *>(QStringLiteral("DrawButton")); draw && draw->isVisible()) {
            draw->click();
            auto *editor = rig.window->findChild<DrawDialog *>();
            walkTopLevel(editor, QStringLiteral("screen editor"));
            editor->close();
        }
        rig.window->updateMouseDialog()->show();
        walkTopLevel(rig.window->updateMouseDialog(), QStringLiteral("firmware update"));
        rig.window->updateMouseDialog()->hide();
        unnamed.removeDuplicates();

        // A plate says which button it is and what it does now.
        for (MyPushButton *plate : rig.page()->findChildren<MyPushButton *>()) {
            if (!plate->isVisible())
                continue;
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(plate);
            QCOMPARE(iface->text(QAccessible::Name), MouseButtonLayout::dialogTitle(rig.page()->mouseType(), plate->index()));
            QVERIFY(!iface->text(QAccessible::Description).isEmpty());
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(QStringLiteral("%1 unnamed:\n").arg(unnamed.size()) + unnamed.join(QLatin1Char('\n'))));
    }
};

namespace {

// Presses Tab from the focus until it comes round to a control it reached before.
QList<QWidget *> tabRound()
{
    QList<QWidget *> reached;
    for (int i = 0; i < 400; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *now = QApplication::focusWidget();
        if (!now || reached.contains(now))
            break;
        reached << now;
    }
    return reached;
}

// The controls under the roots that a user can use and Tab did not reach. An
// exclusive group of buttons (radio buttons, the zone buttons) is one stop;
// the arrow keys move within it.
QStringList notReached(const QList<QWidget *> &roots, const QList<QWidget *> &reached)
{
    const auto groupReached = [&reached](QWidget *w) {
        auto *button = qobject_cast<QAbstractButton *>(w);
        if (!button || !(button->group() || qobject_cast<QRadioButton *>(w)))
            return false;
        for (QWidget *r : reached) {
            auto *other = qobject_cast<QAbstractButton *>(r);
            if (other && ((button->group() && other->group() == button->group())
                          || (!button->group() && other->parentWidget() == button->parentWidget())))
                return true;
        }
        return false;
    };
    QStringList missed;
    for (QWidget *root : roots) {
        for (QWidget *w : root->findChildren<QWidget *>()) {
            const bool control = qobject_cast<QAbstractButton *>(w) || qobject_cast<QAbstractSlider *>(w)
                || qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractSpinBox *>(w)
                || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractItemView *>(w);
            // Parts of a compound control (a spin box's field, a combo box's
            // list, a list's scroll bars) are reached with it.
            bool inner = qobject_cast<QScrollBar *>(w);
            for (QWidget *p = w->parentWidget(); p && p != root; p = p->parentWidget())
                inner = inner || qobject_cast<QAbstractSpinBox *>(p) || qobject_cast<QComboBox *>(p)
                    || qobject_cast<QAbstractItemView *>(p);
            if (control && !inner && w->isVisibleTo(root->window()) && w->isEnabled() && !reached.contains(w)
                && !groupReached(w))
                missed << QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()), w->objectName());
        }
    }
    return missed;
}

} // namespace

// Tab reaches every control of every page, in the order of the window:
// title bar, header, then the page, then the profile bar.
void TestAccessibility::tabReachesEveryControl()
{
    WindowRig rig;
    QVERIFY(rig.plugAndOpen(QStringLiteral("harrier")));
    QApplication::setActiveWindow(rig.window.get());
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    auto *stack = rig.window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    auto *title = rig.window->findChild<QWidget *>(QStringLiteral("TitleBar"));
    auto *header = rig.window->findChild<QWidget *>(QStringLiteral("HeaderWidget"));
    auto *footer = rig.window->findChild<QWidget *>(QStringLiteral("FooterWidget"));
    rig.window->attachDeferredPages();
    // The pairing page is a flow of its own, without the header.
    for (int page = 0; page < stack->count(); ++page) {
        if (page == MainWindow::MatchCodePage)
            continue;
        stack->setCurrentIndex(page);
        QTest::qWait(20);
        rig.window->centralWidget()->setFocus();
        const QList<QWidget *> reached = tabRound();
        const QStringList missed = notReached({title, stack->currentWidget(), header, footer}, reached);
        QVERIFY2(missed.isEmpty(), qPrintable(QStringLiteral("page %1, not reached by Tab:\n").arg(page) + missed.join(QLatin1Char('\n'))));
        // Title bar, header, page, profile bar.
        const auto firstIndex = [&reached](QWidget *area) {
            for (int i = 0; i < reached.size(); ++i)
                if (area->isAncestorOf(reached.at(i)))
                    return i;
            return -1;
        };
        const int titleAt = firstIndex(title);
        const int headerAt = firstIndex(header);
        const int contentAt = firstIndex(stack->currentWidget());
        const int footerAt = firstIndex(footer);
        QVERIFY2(titleAt >= 0 && titleAt < headerAt && headerAt < contentAt && contentAt < footerAt,
                 qPrintable(QStringLiteral("page %1: title bar %2, header %3, page %4, footer %5")
                                .arg(page).arg(titleAt).arg(headerAt).arg(contentAt).arg(footerAt)));
    }
}

// The pairing page, a flow of its own without the header, for a mouse
// behind its receiver.
void TestAccessibility::tabReachesEveryControlOfThePairingPage()
{
    WindowRig rig;
    QVERIFY(rig.plugAndOpen(QStringLiteral("kestrel-receiver")));
    QApplication::setActiveWindow(rig.window.get());
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    rig.window->slot_GoToMatchCodePage();
    auto *stack = rig.window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    QCOMPARE(stack->currentIndex(), int(MainWindow::MatchCodePage));
    QTest::qWait(20);
    rig.window->centralWidget()->setFocus();
    const QStringList missed = notReached({rig.window->findChild<QWidget *>(QStringLiteral("TitleBar")),
                                           stack->currentWidget(),
                                           rig.window->findChild<QWidget *>(QStringLiteral("FooterWidget"))},
                                          tabRound());
    QVERIFY2(missed.isEmpty(), qPrintable(QStringLiteral("pairing page, not reached by Tab:\n") + missed.join(QLatin1Char('\n'))));
}

// The dialogs and the macro page's step editor, where keys typed are also
// what is being assigned or drawn: Tab still reaches every control.
void TestAccessibility::tabReachesEveryControlOfTheDialogs()
{
    WindowRig rig;
    QVERIFY(rig.plugAndOpen(QStringLiteral("kestrel"))); // a model with a screen
    const auto round = [](QWidget *window, QWidget *start, const QString &what) {
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        start->setFocus();
        const QStringList missed = notReached({window}, tabRound());
        QVERIFY2(missed.isEmpty(), qPrintable(what + QStringLiteral(", not reached by Tab:\n") + missed.join(QLatin1Char('\n'))));
    };

    MyPushButton *plate = nullptr;
    for (MyPushButton *p : rig.page()->findChildren<MyPushButton *>())
        if (p->isVisible() && !plate)
            plate = p;
    QVERIFY(plate);
    QTest::mouseClick(plate, Qt::LeftButton);
    auto *keys = rig.window->findChild<KeySettingDialog *>();
    QVERIFY(keys && keys->isVisible());
    for (const char *tab : {"ConbinationKeyButton", "MarcoEditButton", "BasicFunctionButton"}) {
        auto *button = keys->findChild<QPushButton *>(QLatin1String(tab));
        button->click();
        round(keys, button, QStringLiteral("key dialog (%1)").arg(QLatin1String(tab)));
    }
    keys->close();

    auto *drawButton = rig.page()->findChild<QPushButton *>(QStringLiteral("DrawButton"));
    QVERIFY(drawButton && drawButton->isVisible());
    drawButton->click();
    auto *editor = rig.window->findChild<DrawDialog *>();
    QVERIFY(editor && editor->isVisible());
    round(editor, editor, QStringLiteral("screen editor"));
    // Typing text on the canvas: Tab leaves the text for the next control.
    editor->findChild<QPushButton *>(QStringLiteral("TextEditButton"))->click();
    round(editor, editor, QStringLiteral("screen editor, typing"));
    editor->close();

    QWidget *update = rig.window->updateMouseDialog();
    update->show();
    round(update->window(), update, QStringLiteral("firmware update"));
    update->hide();

    rig.window->attachDeferredPages();
    rig.window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"))->setCurrentIndex(MainWindow::MacroEditPage);
    QApplication::setActiveWindow(rig.window.get());
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    auto *macros = rig.window->findChild<QListWidget *>(QStringLiteral("MacroNameListWidget"));
    auto *create = rig.window->findChild<QPushButton *>(QStringLiteral("CreateButton"));
    create->click();
    QTRY_VERIFY(macros->currentItem());
    // A step recorded (Escape ends the recording), then the editor opened on it.
    auto *page = rig.window->findChild<QWidget *>(QStringLiteral("MacroEditWidget"));
    rig.window->findChild<QPushButton *>(QStringLiteral("StartRecordButton"))->click();
    QTest::keyClick(page, Qt::Key_A);
    QTest::keyClick(page, Qt::Key_Escape);
    auto *events = rig.window->findChild<QListWidget *>(QStringLiteral("EventListWidget"));
    QVERIFY(events->count() > 0);
    events->setCurrentRow(0);
    rig.window->findChild<QPushButton *>(QStringLiteral("AddEventButton"))->click();
    auto *field = rig.window->findChild<QLineEdit *>(QStringLiteral("EditLineEdit"));
    QVERIFY(field->isVisible());
    round(rig.window.get(), field, QStringLiteral("macro step editor"));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
