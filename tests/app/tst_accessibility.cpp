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

    void everyControlHasAName()
    {
        QFETCH(QString, mouse);
        WindowRig rig;
        rig.plug(mouse);
        rig.poll();
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->isDeviceOpen(), WindowRig::kWaitMs);
        QTest::qWait(300);
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
            for (const char *tab : {"ConbinationKeyButton", "MarcoEditButton", "BaseFunctionButton"}) {
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

// Tab reaches every control of the settings, lighting and support pages,
// in the order of the window: header, then the page, then the profile bar.
void TestAccessibility::tabReachesEveryControl()
{
    WindowRig rig;
    rig.plug(QStringLiteral("harrier"));
    rig.poll();
    QTRY_VERIFY_WITH_TIMEOUT(rig.window->isDeviceOpen(), WindowRig::kWaitMs);
    QTest::qWait(200);
    QApplication::setActiveWindow(rig.window.get());
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    auto *stack = rig.window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    for (int page : {int(MainWindow::MainSettingPage), int(MainWindow::LightSettingPage), int(MainWindow::SupportPage)}) {
        stack->setCurrentIndex(page);
        QTest::qWait(20);
        rig.window->centralWidget()->setFocus();
        QList<QWidget *> reached;
        for (int i = 0; i < 400; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *now = QApplication::focusWidget();
            if (!now || reached.contains(now))
                break;
            reached << now;
        }
        // An exclusive group of buttons (radio buttons, the zone buttons) is
        // one stop; the arrow keys move within it.
        const auto groupReached = [&reached](QWidget *w) {
            auto *button = qobject_cast<QAbstractButton *>(w);
            if (!button || !(button->group() || qobject_cast<QRadioButton *>(w)))
                return false;
            for (QWidget *r : qAsConst(reached)) {
                auto *other = qobject_cast<QAbstractButton *>(r);
                if (other && ((button->group() && other->group() == button->group())
                              || (!button->group() && other->parentWidget() == button->parentWidget())))
                    return true;
            }
            return false;
        };
        QStringList missed;
        const auto controls = stack->currentWidget()->findChildren<QWidget *>()
            + rig.window->findChild<QWidget *>(QStringLiteral("HeaderWidget"))->findChildren<QWidget *>()
            + rig.window->findChild<QWidget *>(QStringLiteral("FooterWidget"))->findChildren<QWidget *>();
        for (QWidget *w : controls) {
            const bool control = qobject_cast<QAbstractButton *>(w) || qobject_cast<QAbstractSlider *>(w)
                || qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractSpinBox *>(w);
            if (control && w->isVisibleTo(rig.window.get()) && w->isEnabled() && !reached.contains(w) && !groupReached(w)
                && !qobject_cast<QAbstractSpinBox *>(w->parentWidget()))
                missed << QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()), w->objectName());
        }
        QVERIFY2(missed.isEmpty(), qPrintable(QStringLiteral("page %1, not reached by Tab:\n").arg(page) + missed.join(QLatin1Char('\n'))));
        // Header, page, profile bar.
        const auto firstIndex = [&reached](QWidget *area) {
            for (int i = 0; i < reached.size(); ++i)
                if (area->isAncestorOf(reached.at(i)))
                    return i;
            return -1;
        };
        const int header = firstIndex(rig.window->findChild<QWidget *>(QStringLiteral("HeaderWidget")));
        const int content = firstIndex(stack->currentWidget());
        const int footer = firstIndex(rig.window->findChild<QWidget *>(QStringLiteral("FooterWidget")));
        QVERIFY2(header >= 0 && header < content && content < footer,
                 qPrintable(QStringLiteral("page %1: header %2, page %3, footer %4").arg(page).arg(header).arg(content).arg(footer)));
    }
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
