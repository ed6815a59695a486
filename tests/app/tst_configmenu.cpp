// The profile buttons' menu in the whole program: export a configuration to
// a file through the file dialog, import it as another configuration, and a
// refused file told with its reason. An emulated Harrier on the bus.
#include "app/MainWindow.h"
#include "app/WarningDialog.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "store/JsonHandle.h"
#include "store/TextTable.h"
#include "support/FileBytes.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

constexpr int kWaitMs = 20000;
constexpr int kHarrier = 19;

} // namespace

class TestConfigMenu : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> m_rig;
    MainWindow *m_window = nullptr;
    std::shared_ptr<EmulatedOspreyMouse> m_mouse;

    QPushButton *configButton(int n) const
    {
        return m_window->findChild<QPushButton *>(QStringLiteral("ConfigureButton_%1").arg(n));
    }

    // Opens the menu of profile button n and picks an action, answering the
    // file dialog that follows with path.
    void pick(int n, const char *action, const QString &path)
    {
        emit configButton(n)->customContextMenuRequested(QPoint(5, 5));
        auto *menu = m_window->findChild<QMenu *>(QStringLiteral("ConfigMenu"));
        QVERIFY(menu && menu->isVisible());
        QTimer::singleShot(200, [path] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(path);
            static_cast<QDialog *>(dialog)->accept();
        });
        menu->findChild<QAction *>(QLatin1String(action))->trigger();
        menu->hide();
    }

    void confirm(int type, const QString &message)
    {
        WarningDialog *warning = m_window->warningDialog();
        QTRY_VERIFY_WITH_TIMEOUT(warning->isVisible(), kWaitMs);
        QCOMPARE(warning->currentType(), type);
        QCOMPARE(warning->findChild<QLabel *>(QStringLiteral("MessageLabel"))->text(), message);
        QTest::mouseClick(warning->findChild<QPushButton *>(QStringLiteral("OkButton")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!warning->isVisible(), kWaitMs);
    }

private slots:
    void init()
    {
        TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), TextTable::kEnglishSlot);
        m_rig = std::make_unique<WindowRig>();
        m_window = m_rig->window.get();
        m_mouse = std::make_shared<EmulatedOspreyMouse>(QStringLiteral("harrier"));
        QVERIFY(m_rig->plugAndOpen(m_mouse));
        QTRY_COMPARE_WITH_TIMEOUT(m_window->currentConfigNumber(), 1, kWaitMs);
    }

    void cleanup()
    {
        m_rig.reset();
        m_mouse.reset();
    }

    void exportThenImportAsAnotherConfiguration()
    {
        const QString path = m_rig->folder->filePath(QStringLiteral("mine"));
        pick(1, "ExportConfigAction", path);
        // A name without a suffix takes the configuration files' own.
        confirm(15, TextTable::textWith(TextTable::TextConfigExported, path + QStringLiteral(".hdconf")));
        QVERIFY(QFile::exists(path + QStringLiteral(".hdconf")));

        pick(4, "ImportConfigAction", path + QStringLiteral(".hdconf"));
        confirm(15, TextTable::textWith(TextTable::TextConfigImported, QStringLiteral("4")));
        QCOMPARE(m_window->currentConfigNumber(), 4);
        QCOMPARE(fileBytes(JsonHandle::currentConfigJsonFilePath(kHarrier, 4)),
                 fileBytes(JsonHandle::currentConfigJsonFilePath(kHarrier, 1)));
    }

    // A configuration that was never saved has nothing to export: the user
    // is told at once, before any file name is asked for.
    void nothingToExportIsSaidFirst()
    {
        QFile::remove(JsonHandle::currentConfigJsonFilePath(kHarrier, 5));
        emit configButton(5)->customContextMenuRequested(QPoint(5, 5));
        auto *menu = m_window->findChild<QMenu *>(QStringLiteral("ConfigMenu"));
        QVERIFY(menu && menu->isVisible());
        menu->findChild<QAction *>(QStringLiteral("ExportConfigAction"))->trigger();
        menu->hide();
        QVERIFY(!qobject_cast<QFileDialog *>(QApplication::activeModalWidget()));
        confirm(17, TextTable::textWith(TextTable::TextConfigNothingToExport, QStringLiteral("5")));
    }

    void refusedFileIsToldWithItsReason()
    {
        const QString path = m_rig->folder->filePath(QStringLiteral("other.hdconf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"HarrierDriverConfiguration":1,"Model":"wren"})");
        file.close();
        const QByteArray before = fileBytes(JsonHandle::currentConfigJsonFilePath(kHarrier, 3));
        const QByteArray profile = m_mouse->profile();

        pick(3, "ImportConfigAction", path);
        confirm(17, TextTable::text(TextTable::TextConfigOtherModel).arg(QStringLiteral("wren"), QStringLiteral("harrier")));
        QCOMPARE(m_window->currentConfigNumber(), 1);
        QCOMPARE(fileBytes(JsonHandle::currentConfigJsonFilePath(kHarrier, 3)), before);
        QCOMPARE(m_mouse->profile(), profile);
    }
};

QTEST_MAIN(TestConfigMenu)
#include "tst_configmenu.moc"
