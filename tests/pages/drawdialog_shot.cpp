// The README's picture of the screen editor: the whole program with an
// emulated Kestrel, the settings page's screen button pressed, and a
// drawing made in the editor with pointer and keyboard events, as a user
// makes it. Saves the window with the editor over it to the path given.
// Run from a folder holding the program's Language/ and Font/ (see
// scripts/make-screenshots.sh).
#include "app/EmulateOption.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "pages/DrawBorderWidget.h"
#include "pages/DrawDialog.h"
#include "support/PageInput.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>
#include <QtTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        qCritical("usage: drawdialog-shot OUTPUT.png");
        return 2;
    }
    Startup::registerMetaTypes();
    Startup::loadFonts();
    Startup::loadSysLanguage();
    Startup::setApplicationIdentity();
    if (!EmulateOption::install({app.applicationFilePath(), QStringLiteral("--emulate"), QStringLiteral("kestrel")}))
        return 1;

    MainWindow window;
    Startup::applyStyleSheet(&window);
    window.show();
    if (!QTest::qWaitFor([&] { return window.isDeviceOpen(); }, 20000)) {
        qCritical("the emulated mouse did not open");
        return 1;
    }
    QTest::qWait(1500);
    clickNamed(&window, "DrawButton");
    auto *editor = window.findChild<DrawDialog *>();
    if (!editor || !editor->isVisible()) {
        qCritical("the screen editor did not open");
        return 1;
    }
    DrawBorderWidget *canvas = editor->canvas();

    // A line of text at the top, set down with a click.
    clickNamed(editor, "TextEditButton");
    editor->findChild<QSpinBox *>(QStringLiteral("spinBox"))->setValue(33);
    QTest::keyClicks(canvas->textField(), QStringLiteral("KESTREL"));
    clickNamed(editor, "TextEditButton");
    hoverTo(canvas, QPoint(96, 22));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(96, 22));
    // A frame and the two chevrons of the logo, drawn with the brush.
    clickNamed(editor, "Brush_Button");
    dragThrough(canvas, {{1, 1}, {190, 1}, {190, 142}, {1, 142}, {1, 1}});
    for (int y : {70, 94}) {
        dragThrough(canvas, {{42, y + 36}, {96, y}, {150, y + 36}});
        dragThrough(canvas, {{42, y + 39}, {96, y + 3}, {150, y + 39}});
    }
    QTest::qWait(300);

    QImage shot = window.grab().toImage();
    QPainter painter(&shot);
    painter.drawPixmap(editor->geometry().topLeft() - window.geometry().topLeft(), editor->grab());
    painter.end();
    if (!shot.save(QString::fromLocal8Bit(argv[1]))) {
        qCritical("could not save the picture");
        return 1;
    }
    return 0;
}
