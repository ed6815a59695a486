// The README's picture of the screen editor: the whole program with an
// emulated Kestrel, the settings page's screen button pressed, and a
// drawing made in the editor with pointer and keyboard events, as a user
// makes it. Saves the window with the editor over it to the path given.
#include "pages/DrawBorderWidget.h"
#include "pages/DrawDialog.h"
#include "support/PageInput.h"
#include "support/ShotWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        qCritical("usage: drawdialog-shot OUTPUT.png");
        return 2;
    }
    std::unique_ptr<MainWindow> shown = ShotWindow::open(QStringLiteral("kestrel"));
    if (!shown)
        return 1;
    MainWindow &window = *shown;
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
    if (!ShotWindow::save(window, editor, argv[1]))
        return 1;
    return 0;
}
