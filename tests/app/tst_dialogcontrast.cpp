// Every dialog and message box readable in the window's dark look: the text
// of each label, button and field stands out from what is behind it by at
// least the WCAG ratio of 4.5:1, Qt's own file dialog and message box included.
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "app/WarningDialog.h"
#include "pages/AccountDialog.h"
#include "store/TextTable.h"
#include "support/WindowRig.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>
#include <cmath>

namespace {

double luminance(QRgb c)
{
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The widget as drawn within its dialog: its most common colour is its
// background, and its text is the pixel that stands out most from it.
double textContrast(const QImage &dialog, QWidget *top, QWidget *w)
{
    const QRect area(w->mapTo(top, QPoint(0, 0)), w->size());
    const QImage image = dialog.copy(area);
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    double best = 1.0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrast(it.key(), background));
    return best;
}

QString textOf(QWidget *w)
{
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text();
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text();
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text().isEmpty() ? e->placeholderText() : e->text();
    return QString();
}

} // namespace

class TestDialogContrast : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), TextTable::kEnglishSlot),
                 TextTable::Loaded);
    }

    void everyDialogIsReadable_data()
    {
        QTest::addColumn<QString>("dialog");
        for (const char *name : {"warning", "already running", "file dialog", "account", "key dialog", "update"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void everyDialogIsReadable()
    {
        QFETCH(QString, dialog);
        WindowRig rig;
        QVERIFY(Startup::applyStyleSheet(rig.window.get()));
        QWidget *shown = nullptr;
        std::unique_ptr<QWidget> owned;
        if (dialog == QLatin1String("warning")) {
            rig.window->warningDialog()->showWarning(38);
            shown = rig.window->warningDialog();
        } else if (dialog == QLatin1String("already running")) {
            auto *box = new QMessageBox(QMessageBox::Warning, TextTable::text(TextTable::TextAlreadyRunningTitle),
                                        TextTable::text(TextTable::TextAlreadyRunningMessage), QMessageBox::Ok,
                                        rig.window.get());
            owned.reset(box);
            box->show();
            shown = box;
        } else if (dialog == QLatin1String("file dialog")) {
            auto *files = new QFileDialog(rig.window.get(), QStringLiteral("Export"), rig.folder->path());
            files->setOption(QFileDialog::DontUseNativeDialog);
            owned.reset(files);
            files->show();
            shown = files;
        } else if (dialog == QLatin1String("account")) {
            auto *account = new AccountDialog(rig.window.get());
            owned.reset(account);
            account->show();
            shown = account;
        } else if (dialog == QLatin1String("key dialog")) {
            shown = rig.window->findChild<QDialog *>(QStringLiteral("KeySettingDialog"));
            QVERIFY(shown);
            shown->show();
        } else {
            shown = reinterpret_cast<QWidget *>(rig.window->updateMouseDialog());
            rig.window->slot_ShowUpdateFirmwareWidget(true, true, 11, false);
        }
        QVERIFY(shown && shown->isVisible());
        QTest::qWait(50);
        // The dialog drawn whole, as the screen shows it, its backgrounds included.
        const QImage drawn = shown->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QStringList faint;
        int checked = 0;
        for (QWidget *w : shown->findChildren<QWidget *>()) {
            // Disabled controls are not held to the ratio (WCAG leaves them out).
            if (!w->isVisible() || !w->isEnabled() || textOf(w).trimmed().isEmpty() || w->width() < 4
                || w->height() < 4)
                continue;
            ++checked;
            const double ratio = textContrast(drawn, shown, w);
            if (ratio < 4.5)
                faint << QStringLiteral("%1 \"%2\": %3").arg(w->objectName(), textOf(w).left(30)).arg(ratio, 0, 'f', 2);
        }
        QVERIFY(checked > 0);
        QVERIFY2(faint.isEmpty(), qPrintable(faint.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestDialogContrast)
#include "tst_dialogcontrast.moc"
