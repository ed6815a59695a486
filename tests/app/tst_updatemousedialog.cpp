#include "app/UpdateMouseDialog.h"
#include "platform/AppPaths.h"
#include "store/TextTable.h"
#include "support/TempAppFolder.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

// The firmware update view: where it looks for firmware and how it starts an
// update for each family.
class TestUpdateMouseDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempAppFolder> m_dir;
    QList<QUrl> m_opened;

    void writeFile(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("image");
    }

public slots:
    void openUrl(const QUrl &url) { m_opened.append(url); }

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
        TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), 1);
    }

    void init()
    {
        m_dir = std::make_unique<TempAppFolder>();
        m_opened.clear();
    }

    void cleanup() { m_dir.reset(); }

    void firmwareFolder_data()
    {
        QTest::addColumn<bool>("local");
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<QString>("folder");
        QTest::newRow("local Kestrel") << true << 11 << "/Update/Local/kestrel";
        QTest::newRow("cloud Kestrel") << false << 11 << "/Update/Clouds/kestrel";
        QTest::newRow("local KestrelEU") << true << 14 << "/Update/Local/kestreleu";
        QTest::newRow("cloud Harrier") << false << 19 << "/Update/Clouds/harrier";
        QTest::newRow("Osprey") << true << 3 << "/Update/Local/osprey";
    }

    void firmwareFolder()
    {
        QFETCH(bool, local);
        QFETCH(int, mouseType);
        QFETCH(QString, folder);
        QCOMPARE(UpdateMouseDialog::firmwareFolder(local, mouseType), AppPaths::dataRoot() + folder);
    }

    void displayNames_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("shown");
        QTest::newRow("kestrel") << "kestrel" << "Kestrel";
        QTest::newRow("kestrelc") << "kestrelc" << "KestrelC";
        QTest::newRow("kestreleu") << "kestreleu" << "KestrelEU";
        QTest::newRow("falcons") << "falcons" << "FalconS";
        QTest::newRow("harrier") << "harrier" << "Harrier";
    }

    void displayNames()
    {
        QFETCH(QString, model);
        QFETCH(QString, shown);
        QCOMPARE(UpdateMouseDialog::displayName(model), shown);
    }

    void firstFamilyAsksTheBridge()
    {
        UpdateMouseDialog dialog;
        QSignalSpy request(&dialog, &UpdateMouseDialog::sig_UpdateFirmwareKorvan);
        const QString image = AppPaths::dataRoot() + QStringLiteral("/Update/Local/merlinq/Nuc123.bin");
        writeFile(image);
        dialog.setLocalUpdateState(true);
        dialog.selectModel(8);
        dialog.startUpdate();
        QCOMPARE(request.count(), 1);
        QCOMPARE(request.first(), (QVariantList{image, QStringLiteral("merlinq")}));
        QVERIFY(dialog.isUpdating());

        // Nothing starts twice, and the view stays until the transfer ends.
        dialog.startUpdate();
        QCOMPARE(request.count(), 1);
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("CloseButton")), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        dialog.slot_UpdateFinished();
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("CloseButton")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }

    void firstFamilyWithoutImageStartsNothing()
    {
        UpdateMouseDialog dialog;
        QSignalSpy request(&dialog, &UpdateMouseDialog::sig_UpdateFirmwareKorvan);
        dialog.setLocalUpdateState(false);
        dialog.selectModel(11);
        dialog.startUpdate();
        QCOMPARE(request.count(), 0);
        QVERIFY(!dialog.isUpdating());
    }

    // The other families' updater is a Windows program: the view says so in
    // plain words, with no link and nothing to start, even when it is there.
    void otherFamiliesSayTheUpdaterIsForWindows()
    {
        UpdateMouseDialog dialog;
        dialog.show();
        writeFile(AppPaths::dataRoot() + QStringLiteral("/Update/Local/harrier/KorvanUpdataOnce.exe"));
        dialog.setLocalUpdateState(true);
        dialog.selectModel(19);
        auto *status = dialog.findChild<QLabel *>(QStringLiteral("UpdateStatusLabel"));
        QCOMPARE(status->text(), TextTable::text(TextTable::TextUpdateUpdaterWindowsOnly));
        QCOMPARE(status->textFormat(), Qt::PlainText);
        QVERIFY(!status->text().contains(QLatin1String("http")));
        QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("StartUpdateButton"))->isVisible());
        QVERIFY(!dialog.findChild<QWidget *>(QStringLiteral("ChooseImageButton"))->isVisible());
        dialog.startUpdate();
        QVERIFY(m_opened.isEmpty());
    }

    // The shipped image is offered first; the user may choose another file,
    // and the update sends the one shown.
    void firstFamilyImageCanBeChosen()
    {
        const QString shipped = AppPaths::dataRoot() + QStringLiteral("/Update/Local/kestrel/Nuc123.bin");
        writeFile(shipped);
        QTemporaryDir elsewhere;
        const QString chosen = elsewhere.filePath(QStringLiteral("kestrel-v2.bin"));
        writeFile(chosen);

        UpdateMouseDialog dialog;
        dialog.show();
        QSignalSpy request(&dialog, &UpdateMouseDialog::sig_UpdateFirmwareKorvan);
        dialog.setLocalUpdateState(true);
        dialog.selectModel(11);
        auto *field = dialog.findChild<QLineEdit *>(QStringLiteral("UpdateImageField"));
        QCOMPARE(field->text(), shipped);
        QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("StartUpdateButton"))->isEnabled());

        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("ChooseImageButton")), Qt::LeftButton);
        auto *files = dialog.findChild<QFileDialog *>(QStringLiteral("FirmwareImageFileDialog"));
        QVERIFY(files);
        QVERIFY(files->isVisible());
        QCOMPARE(QDir(files->directory()).absolutePath(), QFileInfo(shipped).absolutePath());
        files->selectFile(chosen);
        static_cast<QDialog *>(files)->accept();
        QCOMPARE(dialog.imagePath(), chosen);
        QCOMPARE(field->text(), chosen);

        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("StartUpdateButton")), Qt::LeftButton);
        QCOMPARE(request.count(), 1);
        QCOMPARE(request.first().at(0).toString(), chosen);
    }

    // Without a shipped image the view asks for one instead of naming a
    // missing file, and the start waits for it.
    void firstFamilyWithoutShippedImageAsksForOne()
    {
        UpdateMouseDialog dialog;
        dialog.show();
        dialog.selectModel(11);
        QCOMPARE(dialog.imagePath(), QString());
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("UpdateStatusLabel"))->text(),
                 TextTable::text(TextTable::TextUpdatePleaseChooseImage));
        QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("StartUpdateButton"))->isEnabled());
        QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("ChooseImageButton"))->isVisible());
        // The empty field says there is nothing stored, not just nothing.
        auto *field = dialog.findChild<QLineEdit *>(QStringLiteral("UpdateImageField"));
        QVERIFY(field->text().isEmpty());
        QCOMPARE(field->placeholderText(), TextTable::text(TextTable::TextUpdateNoStoredImage));
    }

    void escapeCloses()
    {
        QWidget window;
        window.resize(960, 640);
        auto *dialog = new UpdateMouseDialog(&window);
        dialog->setGeometry(window.rect());
        window.show();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
    }

    void modelChoice()
    {
        writeFile(AppPaths::dataRoot() + QStringLiteral("/Update/Local/merlin/Nuc123.bin"));
        UpdateMouseDialog dialog;
        QCOMPARE(dialog.selectedModel(), 0);
        QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("StartUpdateButton"))->isEnabled());
        dialog.selectModel(11);
        dialog.setChangeable(false);
        QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("ModelTile_merlin"))->isEnabled());
        QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("ModelTile_kestrel"))->isEnabled());
        dialog.setChangeable(true);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("ModelTile_merlin")), Qt::LeftButton);
        QCOMPARE(dialog.selectedModel(), 12);
        QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("StartUpdateButton"))->isEnabled());
    }
};

QTEST_MAIN(TestUpdateMouseDialog)
#include "tst_updatemousedialog.moc"
