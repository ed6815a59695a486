// The window on a screen too small for its designed size, as at a large
// scale factor: it takes no more than the screen's room, its title bar is in
// view, and every control of every page can be scrolled into view and
// clicked. ctest runs it on a 1920 × 1080 virtual screen at the scale
// factors desktops offer (1, 1.5 and 2); WINDOW_FIT_SHOT names a file for a
// picture of the window.
#include "app/MainWindow.h"
#include "app/TitleBar.h"
#include "support/WindowRig.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QWindow>
#include <QtTest>

class TestWindowFit : public QObject
{
    Q_OBJECT

private:
    // Whether a click at the middle of w reaches w (not a scroll bar or a neighbour).
    static bool reachable(QWidget *window, QWidget *w)
    {
        const QPoint middle = w->mapTo(window, w->rect().center());
        QWidget *hit = window->childAt(middle);
        return window->rect().contains(middle) && hit && (hit == w || w->isAncestorOf(hit));
    }

private slots:
    void fitsTheScreen()
    {
        WindowRig rig;
        rig.plug(QStringLiteral("kestrel"));
        rig.poll();
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->isDeviceOpen(), WindowRig::kWaitMs);
        MainWindow *window = rig.window.get();
        QVERIFY(QTest::qWaitForWindowExposed(window));

        const QRect room = window->windowHandle()->screen()->availableGeometry();
        qInfo() << "scale" << qgetenv("QT_SCALE_FACTOR") << "room" << room << "window" << window->frameGeometry();
        QCOMPARE(window->size(), QSize(960, 640).boundedTo(room.size()));
        QVERIFY(room.contains(window->frameGeometry()));
        auto *titleBar = window->findChild<TitleBar *>();
        QVERIFY(reachable(window, titleBar->quitButton()));
        QVERIFY(reachable(window, titleBar->minimumButton()));

        auto *scroll = window->findChild<QScrollArea *>(QStringLiteral("WindowScrollArea"));
        auto *stack = window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
        QStringList unreachable;
        for (int page = 0; page < 5; ++page) {
            stack->setCurrentIndex(page);
            QTest::qWait(50);
            for (QWidget *w : scroll->widget()->findChildren<QWidget *>()) {
                const bool control = qobject_cast<QAbstractButton *>(w) || qobject_cast<QAbstractSlider *>(w)
                    || qobject_cast<QAbstractSpinBox *>(w);
                if (!control || !w->isVisibleTo(window) || qobject_cast<QAbstractSlider *>(w->parentWidget()))
                    continue;
                scroll->ensureWidgetVisible(w, 0, 0);
                if (!reachable(window, w))
                    unreachable << QStringLiteral("page %1: %2 (%3)").arg(page).arg(w->objectName(),
                                                                            QLatin1String(w->metaObject()->className()));
            }
        }
        QVERIFY2(unreachable.isEmpty(), qPrintable(unreachable.join(QLatin1Char('\n'))));

        stack->setCurrentIndex(0);
        scroll->ensureVisible(0, 0);
        if (const QByteArray shot = qgetenv("WINDOW_FIT_SHOT"); !shot.isEmpty())
            QVERIFY(window->grab().save(QString::fromLocal8Bit(shot)));
    }
};

QTEST_MAIN(TestWindowFit)
#include "tst_windowfit.moc"
