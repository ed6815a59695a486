#pragma once
// What the README's screenshot programs share: the program started as a user
// starts it, with one emulated mouse on the bus, and the window saved with a
// dialog over it as the screen shows them. Run from a folder holding the
// program's Language/ and Font/ (see scripts/make-screenshots.sh).
#include "emulator/EmulateOption.h"
#include "app/MainWindow.h"
#include "app/Startup.h"

#include <QApplication>
#include <QPainter>
#include <QtTest>
#include <memory>

namespace ShotWindow {

// The window with the emulated mouse opened and its pages filled; null, with
// the reason logged, when the mouse did not open.
inline std::unique_ptr<MainWindow> open(const QString &model)
{
    Startup::registerMetaTypes();
    Startup::loadFonts();
    Startup::loadSysLanguage();
    Startup::setApplicationIdentity();
    if (!EmulateOption::install({QCoreApplication::applicationFilePath(), QStringLiteral("--emulate"), model}))
        return nullptr;
    auto window = std::make_unique<MainWindow>();
    Startup::applyStyleSheet(window.get());
    window->show();
    // Every page at once, not after the first paint.
    window->attachDeferredPages();
    if (!QTest::qWaitFor([&] { return window->isDeviceOpen(); }, 20000)) {
        qCritical("the emulated mouse did not open");
        return nullptr;
    }
    QTest::qWait(1500);
    return window;
}

// Saves the window, with the dialog (if any) drawn where it stands over it.
inline bool save(MainWindow &window, QWidget *dialog, const char *path)
{
    QTest::qWait(300);
    QImage shot = window.grab().toImage();
    if (dialog) {
        QPainter painter(&shot);
        painter.drawPixmap(dialog->geometry().topLeft() - window.geometry().topLeft(), dialog->grab());
    }
    if (shot.save(QString::fromLocal8Bit(path)))
        return true;
    qCritical("could not save %s", path);
    return false;
}

} // namespace ShotWindow
